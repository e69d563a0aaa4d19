#include "proxy_fixture.h"

#include <windows.h>

#include "msg_ids.h"
#include "proxy_objects.h"

namespace proxytest {

void ProxyRoad::SetUp() {
    ASSERT_TRUE(service_.Start());
    center_ = new CProxyMsgCenter;
    ASSERT_TRUE(center_->Init(PROXY_ENDPOINT_ID));
    p2p_ = new CP2PProxy;
    player_ = new CPlayerCoreProxy;
    g_ProxyMsgCenter = center_;
    g_P2PProxy = p2p_;
    g_PlayerCoreProxy = player_;
}

void ProxyRoad::TearDown() {
    service_.Stop();
    if (center_ != nullptr) {
        center_->UnInit();
    }
    g_ProxyMsgCenter = nullptr;
    g_P2PProxy = nullptr;
    g_PlayerCoreProxy = nullptr;
    delete center_;
    delete p2p_;
    delete player_;
}

std::string ProxyRoad::Log() {
    return brtest::ReadFile(root_.LogDir() + "/brServiceProxy.txt");
}

std::string ProxyRoad::Gbk(const char* utf8) {
    return PalGbk(utf8);
}

}  // namespace proxytest
