// Test support: the client's player side on the real road. g_PlayerCore runs over the real proxy,
// service and engine, and a main window's play state stands in as g_pMainDlg.
#pragma once

#include <gtest/gtest.h>

#include "media_play.h"
#include "play_state.h"
#include "player_ctrl.h"
#include "road_support.h"

namespace proxytest {

class ClientRoadTest : public RoadTest {
protected:
    void SetUp() override {
        RoadTest::SetUp();
        g_pMainDlg = &window_;
        ASSERT_TRUE(InitProxy());
        ASSERT_TRUE(WaitForService());
        g_PlayerCore.SetCore(GetPlayerCoreProxy());
        ASSERT_TRUE(g_PlayerCore.Init());
    }
    void TearDown() override {
        StopCoreServer();
        UnInitProxy();
        g_pMainDlg = nullptr;
        RoadTest::TearDown();
    }

    CPlayStateHolder window_;
};

}  // namespace proxytest
