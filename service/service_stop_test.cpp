// The stop request: answered with the one byte 1, then WM_DESTROY is posted to the service's
// window, the program's signal to leave its loop. A window of the test thread stands in for the
// program's hidden window.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <thread>

#include "fake_call_message.h"
#include "msg_ids.h"
#include "service_globals.h"
#include "service_test_fixture.h"

namespace servicetest {
namespace {

using namespace std::chrono_literals;

constexpr const char* kClass = "servicestopteststand-in";

LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

class ServiceStopTest : public ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &StandInProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClass;
        RegisterClassA(&windowClass);  // already registered by an earlier case: fine
        window_ =
            CreateWindowExA(0, kClass, "stand-in", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                            CW_USEDEFAULT, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        g_hServiceWnd = window_;
    }
    void TearDown() override {
        ServiceTest::TearDown();
        g_hServiceWnd = nullptr;
        DestroyWindow(window_);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
        }
    }

    // Waits for a WM_DESTROY posted to the window; false when none came within the limit.
    bool DestroyPosted(std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        do {
            MSG msg;
            while (PeekMessageA(&msg, window_, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_DESTROY) {
                    EXPECT_EQ(msg.wParam, 0u);
                    EXPECT_EQ(msg.lParam, 0);
                    return true;
                }
                DispatchMessageA(&msg);
            }
            std::this_thread::sleep_for(2ms);
        } while (std::chrono::steady_clock::now() < end);
        return false;
    }

    HWND window_ = nullptr;
};

TEST_F(ServiceStopTest, TheStopRequestIsAnsweredThenTheWindowIsToldToGo) {
    const CallResult call = proxy_->Call(SERVICE_ENDPOINT_ID, CHANNEL_STOP, "");
    EXPECT_EQ(call.result, S_OK);
    EXPECT_TRUE(call.replied);
    EXPECT_EQ(Hex(call.reply), "01");
    EXPECT_TRUE(DestroyPosted(5s));
}

TEST_F(ServiceStopTest, WithoutAReplyBufferTheWindowIsToldAllTheSame) {
    CServiceMsgCenter bare;  // no call center: no reply buffers
    FakeCallMessage stop(CHANNEL_STOP, Bytes("01 02 03"));
    EXPECT_EQ(bare.OnMessage(&stop), S_OK);
    EXPECT_FALSE(stop.HasReply());
    EXPECT_TRUE(DestroyPosted(5s));
}

TEST_F(ServiceStopTest, TheRunningQueryStopsNothing) {
    const CallResult call = proxy_->Call(SERVICE_ENDPOINT_ID, CHANNEL_QUERY_RUNNING, "");
    EXPECT_EQ(Hex(call.reply), "01");
    EXPECT_FALSE(DestroyPosted(100ms));
}

TEST_F(ServiceStopTest, WithoutAWindowTheStopIsOnlyAnswered) {
    g_hServiceWnd = nullptr;
    const CallResult call = proxy_->Call(SERVICE_ENDPOINT_ID, CHANNEL_STOP, "");
    EXPECT_EQ(Hex(call.reply), "01");
    EXPECT_FALSE(DestroyPosted(100ms));
}

}  // namespace
}  // namespace servicetest
