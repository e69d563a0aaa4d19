// The control in its window on the test's thread: loading a movie with its events, playing it
// with its FlashCall events one at a time, the transcript, painting, clicks and the right button.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>

#include "flash_installation.h"
#include "http_test_server.h"
#include "recording_sink.h"
#include "state_bytes.h"
#include "wait_until.h"

namespace {

using namespace flashtest;

constexpr DISPID kReadyState = -609, kProgress = 0x7A6, kFlashCall = 0xC5;

std::string Req(const std::string& name, const std::string& args = "") {
    return "<invoke name=\"" + name + "\" returntype=\"xml\"><arguments>" + args +
           "</arguments></invoke>";
}

// The one popup menu open now, when there is exactly one.
bool OnePopup(PalPopupMenu* open) {
    std::vector<PalPopupMenu> menus = PalOpenPopupMenus();
    if (menus.size() != 1)
        return false;
    *open = menus.front();
    return true;
}

// A control hosted at (10, 20) of a window, with a recording sink connected.
class HostedControl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(control_.created(), S_OK);
        ASSERT_EQ(control_.Hosted()->SetEventSink(&sink_), S_OK);
        RECT r{10, 20, 410, 320};
        ASSERT_EQ(control_.Hosted()->CreateControlWindow(host_.hwnd(), &r, 1000, &hwnd_), S_OK);
        ASSERT_NE(hwnd_, nullptr);
    }
    void TearDown() override { control_.Hosted()->SetEventSink(nullptr); }

    void Play(const std::string& body) {
        PutText(control_.Dispatch(), 0x66, WriteMovie("movie.txt", "brdj-movie 1\n" + body));
    }
    bool Ready() const { return !sink_.Of(kReadyState).empty(); }
    // Lines of the transcript that are requests (not the control's notes).
    std::vector<std::string> Requests() const {
        std::vector<std::string> lines;
        for (const std::string& l : config_.TranscriptLines())
            if (l.rfind("# ", 0) != 0)
                lines.push_back(l);
        return lines;
    }
    void Reply(const std::string& reply) {
        EXPECT_EQ(Call(control_.Dispatch(), 0xC7, DISPATCH_METHOD, {Arg::Text(reply)}).hr, S_OK);
    }

    ScopedConfig config_;
    ScopedControl control_;
    HostWindow host_{500, 400};
    RecordingSink sink_;
    HWND hwnd_ = nullptr;
};

TEST_F(HostedControl, LoadingFiresProgressUpTo100ThenReadyAndTheCallsWithTheirRequests) {
    Play("call " + Req("BRIsDJContainer") + "\ncall " +
         Req("BROpenMusic", "<string>歌.mp3</string>") + "\nend\n");
    ASSERT_TRUE(PumpUntil([&] { return sink_.Of(kFlashCall).size() == 2; }));
    std::vector<RecordedEvent> progress = sink_.Of(kProgress);
    ASSERT_FALSE(progress.empty());
    for (size_t i = 0; i < progress.size(); ++i) {
        EXPECT_EQ(progress[i].count, 1u);
        EXPECT_EQ(progress[i].type, VT_I4);
        EXPECT_EQ(progress[i].flags, DISPATCH_METHOD);
        if (i > 0) {
            EXPECT_GT(progress[i].number, progress[i - 1].number);
        }
    }
    EXPECT_EQ(progress.back().number, 100);
    std::vector<RecordedEvent> ready = sink_.Of(kReadyState);
    ASSERT_EQ(ready.size(), 1u);
    EXPECT_EQ(ready[0].type, VT_I4);
    EXPECT_EQ(ready[0].number, 4);
    // Progress, then ready, then the calls.
    auto at = [&](DISPID id) {
        return std::find_if(sink_.events.begin(), sink_.events.end(),
                            [&](const RecordedEvent& e) { return e.id == id; }) -
               sink_.events.begin();
    };
    EXPECT_LT(at(kProgress), at(kReadyState));
    EXPECT_LT(at(kReadyState), at(kFlashCall));
    for (const RecordedEvent& e : sink_.Of(kFlashCall)) {
        EXPECT_EQ(e.count, 1u);
        EXPECT_EQ(e.type, VT_BSTR);
    }
    EXPECT_EQ(sink_.Requests(),
              (std::vector<std::string>{Req("BRIsDJContainer"),
                                        Req("BROpenMusic", "<string>歌.mp3</string>")}));
}

TEST_F(HostedControl, AMovieWithWaitsAndAPollPlaysOnTheWindowsThreadIntoTheTranscript) {
    const DWORD thread = GetCurrentThreadId();
    bool otherThread = false;
    int polls = 0;
    sink_.onFlashCall = [&](const std::string& request) {
        otherThread |= GetCurrentThreadId() != thread;
        if (request == Req("BRIsDJContainer"))
            Reply("<true />");
        if (request == Req("BRGetPlayState"))
            Reply("<number>" + std::string(++polls < 3 ? "3" : "1") + "</number>");
        // BRPlayMusic gets no reply
    };
    Play("call " + Req("BRIsDJContainer") + "\nwait 150\ncall " + Req("BRPlayMusic") +
         "\npoll 50 5000 <number>1</number> | " + Req("BRGetPlayState") + "\nwait 100\ncall " +
         Req("BRStopMusic") + "\nend\n");
    ASSERT_TRUE(PumpUntil([&] { return sink_.Requests().size() == 6; }));
    EXPECT_FALSE(otherThread);

    std::vector<std::string> lines = Requests();
    ASSERT_EQ(lines.size(), 6u);
    const struct {
        const char* request;
        const char* reply;
    } expected[] = {
        {"BRIsDJContainer", "<true />"},          {"BRPlayMusic", "no reply"},
        {"BRGetPlayState", "<number>3</number>"}, {"BRGetPlayState", "<number>3</number>"},
        {"BRGetPlayState", "<number>1</number>"}, {"BRStopMusic", "no reply"},
    };
    std::vector<long> times;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string tail = Req(expected[i].request) + " -> " + expected[i].reply;
        ASSERT_GE(lines[i].size(), tail.size()) << lines[i];
        EXPECT_EQ(lines[i].substr(lines[i].size() - tail.size()), tail);
        ASSERT_EQ(lines[i][0], '+') << lines[i];
        times.push_back(std::stol(lines[i].substr(1)));
    }
    EXPECT_GE(times[1] - times[0], 150);  // the wait
    EXPECT_GE(times[3] - times[2], 50);   // the poll's interval
    EXPECT_GE(times[4] - times[3], 50);
    EXPECT_GE(times[5] - times[4], 100);
    EXPECT_EQ(sink_.deepest, 1);
}

TEST_F(HostedControl, AHandlerThatRunsAMessageLoopGetsNoSecondCallInsideIts) {
    bool inner = false;
    sink_.onFlashCall = [&](const std::string& request) {
        if (request != Req("BRFirst"))
            return;
        // A modal loop inside the handler: the movie's timer and a click keep coming.
        POINT button{20, 20};
        ClientToScreen(hwnd_, &button);
        PalInputButton(VK_LBUTTON, TRUE, button.x, button.y);
        PalInputButton(VK_LBUTTON, FALSE, button.x, button.y);
        inner = brtest::NothingFor(std::chrono::milliseconds(300), [&] {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            return sink_.Requests().size() > 1;
        });
        Reply("<true />");
    };
    Play("button 10 10 80 20 Go | " + Req("BRButton") + "\ncall " + Req("BRFirst") + "\ncall " +
         Req("BRSecond") + "\nend\n");
    ASSERT_TRUE(PumpUntil([&] { return sink_.Requests().size() == 2; }));
    EXPECT_TRUE(inner);
    EXPECT_EQ(sink_.deepest, 1);
    EXPECT_EQ(sink_.Requests(), (std::vector<std::string>{Req("BRFirst"), Req("BRSecond")}));
}

TEST_F(HostedControl, AButtonClickedThroughTheInputEntryMakesItsCall) {
    sink_.onFlashCall = [&](const std::string&) { Reply("<true />"); };
    Play("label 10 5 播放器\nbutton 20 40 100 30 播放 | " + Req("BRPlayMusic") +
         "\nbutton 140 40 100 30 停止 | " + Req("BRStopMusic") + "\nend\n");
    ASSERT_TRUE(PumpUntil([&] { return Ready(); }));
    POINT stop{150, 50};  // inside the second button
    ClientToScreen(hwnd_, &stop);
    PalInputButton(VK_LBUTTON, TRUE, stop.x, stop.y);
    PalInputButton(VK_LBUTTON, FALSE, stop.x, stop.y);
    ASSERT_TRUE(PumpUntil([&] { return sink_.Requests().size() == 1; }));
    EXPECT_EQ(sink_.Requests()[0], Req("BRStopMusic"));
    POINT outside{300, 200};
    ClientToScreen(hwnd_, &outside);
    PalInputButton(VK_LBUTTON, TRUE, outside.x, outside.y);
    PalInputButton(VK_LBUTTON, FALSE, outside.x, outside.y);
    EXPECT_TRUE(brtest::NothingFor(std::chrono::milliseconds(200), [&] {
        PumpUntil([] { return true; });
        return sink_.Requests().size() != 1;
    }));
    std::vector<std::string> lines = Requests();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(Req("BRStopMusic") + " -> <true />"), std::string::npos);
}

TEST_F(HostedControl, PaintsItsBackgroundColourAndTheMoviesButtons) {
    PutText(control_.Dispatch(), 0x8C, "0x00336699");
    Play("label 10 5 播放器 Player\nlive 10 100 1000 " + Req("BRGetDuration") +
         "\nbutton 20 40 100 30 播放 | " + Req("BRPlayMusic") +
         "\n");  // no end: the live label stays
    sink_.onFlashCall = [&](const std::string&) { Reply("<number>215</number>"); };
    ASSERT_TRUE(PumpUntil([&] { return !sink_.Requests().empty(); }))
        << ::testing::PrintToString(config_.TranscriptLines());
    ASSERT_TRUE(PumpUntil([] { return true; }));  // paint what the call changed
    PalSaveWindowPngA(hwnd_, (InstallationFolder() + "/../flash-control.png").c_str());
    // The control's own pixels, in its client coordinates.
    const WindowPicture picture(hwnd_);
    EXPECT_EQ(picture.Pixel(300, 250), 0x336699u);  // background
    EXPECT_EQ(picture.Pixel(22, 42), 0xE0E0E0u);    // the button's face
    EXPECT_EQ(picture.Pixel(20, 40), 0x505050u);    // its frame
    // The texts are drawn: the label's and the live label's rows differ from the background.
    auto rowHasInk = [&](int y, int from, int to) {
        for (int x = from; x < to; ++x)
            if (picture.Pixel(x, y) != 0x336699u)
                return true;
        return false;
    };
    bool label = false, live = false;
    for (int y = 5; y < 20 && !label; ++y) label = rowHasInk(y, 10, 80);
    for (int y = 100; y < 115 && !live; ++y) live = rowHasInk(y, 10, 150);
    EXPECT_TRUE(label);
    EXPECT_TRUE(live);
}

TEST_F(HostedControl, MalformedMoviesLoadNothingAndSayWhy) {
    const struct {
        const char* name;
        std::string text;  // nullptr-free; "" writes an empty file
        const char* reason;
    } cases[] = {
        {"no header", "call " + Req("BRPlayMusic") + "\n", "line 1"},
        {"bad wait", "brdj-movie 1\nwait soon\n", "line 2: wait"},
        {"bad request", "brdj-movie 1\ncall <invoke>\n", "line 2"},
        {"empty file", "", "empty"},
    };
    for (const auto& c : cases) {
        PutText(control_.Dispatch(), 0x66, WriteMovie("bad.txt", c.text));
        ASSERT_TRUE(PumpUntil([&] {
            std::vector<std::string> lines = config_.TranscriptLines();
            return !lines.empty() && lines.back().find("not loaded") != std::string::npos;
        })) << c.name;
        EXPECT_NE(config_.TranscriptLines().back().find(c.reason), std::string::npos)
            << c.name << ": " << config_.TranscriptLines().back();
        std::filesystem::remove(config_.TranscriptPath());
    }
    PutText(control_.Dispatch(), 0x66, InstallationFolder() + "/missing.txt");
    ASSERT_TRUE(PumpUntil([&] { return !config_.TranscriptLines().empty(); }));
    EXPECT_NE(config_.TranscriptLines().back().find("cannot open"), std::string::npos);
    EXPECT_FALSE(Ready());
    EXPECT_TRUE(sink_.Requests().empty());
}

TEST_F(HostedControl, AMovieGivenAsAnHttpAddressIsFetchedAndPlayedTheSameWay) {
    httptest::TestHttpServer server;
    const std::string movie = "brdj-movie 1\nwait 20\ncall " + Req("BRIsDJContainer") + "\nend\n";
    server.Server().Get("/loadingVer.txt", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(movie, "text/plain");
    });
    ASSERT_TRUE(server.Start());
    sink_.onFlashCall = [&](const std::string&) { Reply("<true />"); };
    PutText(control_.Dispatch(), 0x66, server.Url("/loadingVer.txt"));
    ASSERT_TRUE(PumpUntil([&] { return sink_.Requests().size() == 1; }));
    EXPECT_EQ(sink_.Requests()[0], Req("BRIsDJContainer"));
    EXPECT_EQ(sink_.Of(kProgress).back().number, 100);
    EXPECT_EQ(sink_.Of(kReadyState).size(), 1u);
    ASSERT_EQ(Requests().size(), 1u);
    EXPECT_NE(Requests()[0].find(" -> <true />"), std::string::npos);

    PutText(control_.Dispatch(), 0x66, server.Url("/missing.txt"));
    ASSERT_TRUE(PumpUntil(
        [&] { return config_.TranscriptLines().back().find("not loaded") != std::string::npos; }));
    EXPECT_NE(config_.TranscriptLines().back().find("HTTP status 404"), std::string::npos);
}

// The scale mode lays the movie's stage out in the control's area (400 x 300 here): a button
// of the 200 x 100 stage is drawn, and answers clicks, where the mode puts it.
TEST_F(HostedControl, TheScaleModeLaysTheStageOutInTheArea) {
    Play("stage 200 100\nbutton 100 40 40 20 Go | " + Req("BRGo") + "\n");
    ASSERT_TRUE(PumpUntil([&] { return Ready(); }));
    const struct {
        const char* name;
        LONG mode;
        RECT button;  // where it is drawn, in the control's client coordinates
    } cases[] = {
        {"show all", 0, {200, 130, 280, 170}},
        {"no border", 1, {200, 120, 320, 180}},
        {"exact fit", 2, {200, 120, 280, 180}},
        {"no scale", 3, {200, 140, 240, 160}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Call(control_.Dispatch(), 0x78, DISPATCH_PROPERTYPUT, {Arg::Number(c.mode)}).hr,
                  S_OK);
        ASSERT_TRUE(PumpUntil([] { return true; }));  // the repaint
        PalSaveWindowPngA(
            hwnd_,
            (InstallationFolder() + "/../flash-scale-" + std::to_string(c.mode) + ".png").c_str());
        const RECT& b = c.button;
        const WindowPicture picture(hwnd_);
        EXPECT_EQ(picture.Pixel(b.left, b.top), 0x505050u);  // the frame's corners
        EXPECT_EQ(picture.Pixel(b.right - 1, b.bottom - 1), 0x505050u);
        EXPECT_EQ(picture.Pixel(b.left + 2, b.top + 2), 0xE0E0E0u);  // the face
        EXPECT_EQ(picture.Pixel(b.left - 1, b.top - 1), 0xFFFFFFu);  // the background
        EXPECT_EQ(picture.Pixel(b.right, b.bottom), 0xFFFFFFu);

        // A click just inside the drawn button makes its call, one just outside does not.
        const size_t before = sink_.Requests().size();
        POINT outside{b.left - 1, b.top - 1}, inside{b.left + 1, b.top + 1};
        for (POINT p : {outside, inside}) {
            ClientToScreen(hwnd_, &p);
            PalInputButton(VK_LBUTTON, TRUE, p.x, p.y);
            PalInputButton(VK_LBUTTON, FALSE, p.x, p.y);
        }
        ASSERT_TRUE(PumpUntil([&] { return sink_.Requests().size() > before; }));
        EXPECT_EQ(sink_.Requests().size(), before + 1);
        EXPECT_EQ(sink_.Requests().back(), Req("BRGo"));
    }
}

// A right click opens the control's own menu at the pointer, from the layer's popup menus:
// the scale modes, the current one checked. A choice sets the mode; the transcript says what
// was chosen.
TEST_F(HostedControl, ARightClickOpensTheControlsOwnMenu) {
    Play("label 10 10 x\nend\n");
    ASSERT_TRUE(PumpUntil([&] { return Ready(); }));
    const struct {
        const char* name;
        size_t checked;  // the item of the mode when the menu opens
        int item;        // the item clicked; -1: dismissed with Escape
        LONG mode;
        const char* note;
    } cases[] = {
        {"exact fit", 0, 2, 2, "# context menu at 30, 40: Exact fit chosen"},
        {"dismissed", 2, -1, 2, "# context menu at 30, 40: dismissed"},
        {"no scale", 2, 3, 3, "# context menu at 30, 40: No scale chosen"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        POINT p{30, 40};
        ClientToScreen(hwnd_, &p);
        std::vector<PalPopupMenu> seen;
        POINT popupAt{};
        std::thread driver([&] {
            PalPopupMenu open;
            if (!brtest::WaitUntil([&] { return OnePopup(&open); }))
                return;
            seen.push_back(open);
            RECT frame{};
            GetWindowRect(open.popup, &frame);
            popupAt = {frame.left, frame.top};
            if (c.item < 0) {
                PalInputKey(VK_ESCAPE, TRUE);
                PalInputKey(VK_ESCAPE, FALSE);
                return;
            }
            const RECT& r = open.items.at(size_t(c.item)).rect;
            PalInputButton(VK_LBUTTON, TRUE, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
            PalInputButton(VK_LBUTTON, FALSE, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        });
        PalInputButton(VK_RBUTTON, TRUE, p.x, p.y);
        PalInputButton(VK_RBUTTON, FALSE, p.x, p.y);
        const bool noted = PumpUntil([&] {
            std::vector<std::string> lines = config_.TranscriptLines();
            return !lines.empty() && lines.back().rfind("# context menu", 0) == 0;
        });
        driver.join();
        ASSERT_TRUE(noted);
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].owner, hwnd_);
        EXPECT_EQ(popupAt.x, p.x);
        EXPECT_EQ(popupAt.y, p.y);
        std::vector<std::string> texts;
        std::vector<size_t> checked;
        for (const PalPopupMenuItem& item : seen[0].items) {
            texts.push_back(item.text);
            if (item.flags & MF_CHECKED)
                checked.push_back(texts.size() - 1);
        }
        EXPECT_EQ(checked, std::vector<size_t>{c.checked});
        EXPECT_EQ(texts,
                  (std::vector<std::string>{"Show all", "No border", "Exact fit", "No scale"}));
        EXPECT_EQ(config_.TranscriptLines().back(), c.note);
        EXPECT_EQ(Call(control_.Dispatch(), 0x78, DISPATCH_PROPERTYGET).value.lVal, c.mode);
        EXPECT_TRUE(PalOpenPopupMenus().empty());
        std::filesystem::remove(config_.TranscriptPath());
    }
}

// The persisted state's Menu "0" turns the menu off: a right click opens nothing. (Should a
// menu open all the same, the watcher closes it so the test ends.)
TEST_F(HostedControl, WithTheMenuOffARightClickOpensNothing) {
    const std::vector<uint8_t> state = ClientState(u"0");
    ASSERT_EQ(control_.Hosted()->LoadState(state.data(), DWORD(state.size())), S_OK);
    Play("end\n");
    ASSERT_TRUE(PumpUntil([&] { return Ready(); }));
    std::atomic<bool> opened{false}, stop{false};
    std::thread watcher([&] {
        PalPopupMenu open;
        if (brtest::WaitUntil([&] { return stop.load() || OnePopup(&open); }) && !stop) {
            opened = true;
            PalInputKey(VK_ESCAPE, TRUE);
            PalInputKey(VK_ESCAPE, FALSE);
        }
    });
    POINT p{30, 40};
    ClientToScreen(hwnd_, &p);
    PalInputButton(VK_RBUTTON, TRUE, p.x, p.y);
    PalInputButton(VK_RBUTTON, FALSE, p.x, p.y);
    const bool nothing = brtest::NothingFor(std::chrono::milliseconds(300), [&] {
        PumpUntil([] { return true; });
        return opened.load();
    });
    stop = true;
    watcher.join();
    EXPECT_TRUE(nothing);
    for (const std::string& line : config_.TranscriptLines())
        EXPECT_EQ(line.rfind("# context menu", 0), std::string::npos) << line;
}

}  // namespace

namespace {

using namespace flashtest;

TEST(FlashTranscript, GoesToStandardOutputWhenTheConfigurationNamesNoFile) {
    ScopedConfig config({}, ScopedConfig::Transcript::kNotNamed);
    ScopedControl control;
    ASSERT_EQ(control.created(), S_OK);
    RecordingSink sink;
    control.Hosted()->SetEventSink(&sink);
    HostWindow host(200, 100);
    RECT r{0, 0, 200, 100};
    HWND hwnd = nullptr;
    ASSERT_EQ(control.Hosted()->CreateControlWindow(host.hwnd(), &r, 1, &hwnd), S_OK);
    const std::string request =
        "<invoke name=\"BRGetVolume\" returntype=\"xml\"><arguments></arguments></invoke>";
    ::testing::internal::CaptureStdout();
    PutText(control.Dispatch(), 0x66,
            WriteMovie("stdout.txt", "brdj-movie 1\ncall " + request + "\nend\n"));
    bool called = PumpUntil([&] { return sink.Requests().size() == 1; });
    std::string out = ::testing::internal::GetCapturedStdout();
    control.Hosted()->SetEventSink(nullptr);
    ASSERT_TRUE(called);
    EXPECT_NE(out.find("# movie "), std::string::npos) << out;
    EXPECT_NE(out.find("ms " + request + " -> no reply\n"), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(config.TranscriptPath()));
}

}  // namespace
