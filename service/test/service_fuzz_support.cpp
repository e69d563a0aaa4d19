#include "service_fuzz_support.h"

#include "msg_ids.h"
#include "service_globals.h"
#include "service_msg_center.h"
#include "test_root.h"

namespace servicetest {
namespace {

brtest::ScopedTestRoot* g_root = nullptr;
CServiceMsgCenter* g_center = nullptr;
void (*g_atExit)() = nullptr;

void StopFuzzService() {
    if (g_atExit) {
        g_atExit();
    }
    g_center->UnInit();
    g_ServiceMsgCenter = nullptr;
    delete g_center;
    delete g_root;
}

}  // namespace

void StartFuzzService(void (*atExit)()) {
    if (g_center) {
        return;
    }
    g_root = new brtest::ScopedTestRoot;
    g_center = new CServiceMsgCenter;
    FUZZ_CHECK(g_center->Init(SERVICE_ENDPOINT_ID));
    g_ServiceMsgCenter = g_center;
    g_atExit = atExit;
    std::atexit(&StopFuzzService);
}

}  // namespace servicetest
