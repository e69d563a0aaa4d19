// The installation moved: the build's install folder copied to a folder of its own, and the
// demo movie of the copy played by the copy's Flash control, each request served by the
// bridge over the real proxy, service and engine, as the client serves it. The movie names the
// track in the folder it was loaded from, so it plays the copy's track.
#include <gmock/gmock.h>

#include <filesystem>
#include <utility>

#include "client_road_fixture.h"
#include "flash_call_bridge.h"
#include "flash_installation.h"
#include "recording_sink.h"
#include "test_root.h"

namespace proxytest {
namespace {

namespace fs = std::filesystem;
using Exchange = std::pair<std::string, std::string>;  // a request and the reply it got

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
constexpr CLSID kFlashClsid = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr DISPID kMovie = 0x66, kSetReturnValue = 0xC7;

std::string Name(const std::string& request) {
    const size_t at = request.find("name=\"");
    return at == std::string::npos ? ""
                                   : request.substr(at + 6, request.find('"', at + 6) - at - 6);
}

class MovedInstallTest : public ClientRoadTest {
protected:
    void SetUp() override {
        ClientRoadTest::SetUp();
        copy_ = brtest::MakeTempDir("moved-install") + "/BRDJ";
        fs::copy(BR_BIN_DIR, copy_, fs::copy_options::recursive);
        fs::create_directories(copy_ + "/Conf/default");
        ASSERT_TRUE(WritePrivateProfileStringA("Flash", "Transcript", "transcript.txt",
                                               (copy_ + "/Conf/default/config.ini").c_str()));
        setenv("PAL_COMPONENT_REGISTRY", (copy_ + "/components.ini").c_str(), 1);
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_EQ(CoCreateInstance(kFlashClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(&control_)),
                  S_OK);
    }
    void TearDown() override {
        if (control_ != nullptr)
            control_->Release();
        CoUninitialize();
        unsetenv("PAL_COMPONENT_REGISTRY");
        brtest::RemoveTree(fs::path(copy_).parent_path().string());
        ClientRoadTest::TearDown();
    }

    std::string copy_;
    IDispatch* control_ = nullptr;
};

TEST_F(MovedInstallTest, TheDemoMoviePlaysTheCopysTrackToTheEnd) {
    // The main window's part: the bridge answers each FlashCall through SetReturnValue. The
    // demo's texts are ASCII, the same in UTF-8 and in the narrow code page.
    std::vector<Exchange> exchanges;
    FlashCallHost host;
    host.player = &g_PlayerCore;
    host.playState = &window_;
    host.setReturnValue = [&](const char* xml) {
        exchanges.back().second = xml;
        flashtest::Call(control_, kSetReturnValue, DISPATCH_METHOD, {flashtest::Arg::Text(xml)});
    };
    CFlashCallBridge bridge(std::move(host));
    flashtest::RecordingSink sink;
    sink.onFlashCall = [&](const std::string& request) {
        exchanges.push_back({request, ""});
        bridge.OnFlashCall(request.c_str());
    };
    IPalHostedControl* hosted = nullptr;
    ASSERT_EQ(control_->QueryInterface(IID_IPalHostedControl, reinterpret_cast<void**>(&hosted)),
              S_OK);
    ASSERT_EQ(hosted->SetEventSink(&sink), S_OK);
    flashtest::HostWindow window(814, 580);
    RECT area{0, 0, 814, 580};
    HWND hwnd = nullptr;
    ASSERT_EQ(hosted->CreateControlWindow(window.hwnd(), &area, 1000, &hwnd), S_OK);

    flashtest::PutText(control_, kMovie, copy_ + "/brdj_demo.swf");
    // The movie's last poll waits for the end of the track (state 1) after the seek.
    auto ended = [&] {
        bool sought = false;
        for (const Exchange& e : exchanges) {
            sought |= Name(e.first) == "BRSetCurrentPosition";
            if (sought && Name(e.first) == "BRGetPlayState" && e.second == "<number>1</number>\r\n")
                return true;
        }
        return false;
    };
    const bool reachedTheEnd = flashtest::PumpUntil(ended, std::chrono::seconds(40));
    hosted->SetEventSink(nullptr);
    hosted->Release();
    ASSERT_TRUE(reachedTheEnd) << ::testing::PrintToString(exchanges);

    const std::string copyTrack = "<string>" + copy_ + "/brdj_mix.flac</string>";
    std::vector<std::string> states;
    for (const Exchange& e : exchanges) {
        EXPECT_EQ(e.first.find(BR_BIN_DIR), std::string::npos) << e.first;
        if (Name(e.first) == "BROpenMusic") {
            EXPECT_NE(e.first.find(copyTrack), std::string::npos) << e.first;
            EXPECT_EQ(e.second, "<true />");
        }
        if (Name(e.first) == "BRGetPlayState" && (states.empty() || states.back() != e.second))
            states.push_back(e.second);
    }
    // Playing, paused, playing again, then stopped at the end: in the transcript of the copy.
    EXPECT_THAT(states, ::testing::IsSupersetOf({"<number>3</number>\r\n", "<number>2</number>\r\n",
                                                 "<number>1</number>\r\n"}));
    EXPECT_EQ(window_.GetPlayState(), PLAY_STATE_STOPPED);
    const std::string transcript = brtest::ReadFile(copy_ + "/transcript.txt");
    EXPECT_NE(transcript.find("# movie " + copy_ + "/brdj_demo.swf loaded"), std::string::npos)
        << transcript;
    EXPECT_NE(transcript.find(copyTrack), std::string::npos);
}

}  // namespace
}  // namespace proxytest
