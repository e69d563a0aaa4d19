// The main window through the real program BRDJ, with the real proxy library and service, driven
// through its control socket as a person would drive it: start-up and its log, the window's
// size, place, shape and skin on the screen, the frame's drag and buttons, the keys the dialog
// manager never sees, the tray icon and its menu, the version warning, the pages, and the close
// order from the Close button and from the tray menu.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "brdj_run.h"
#include "log_texts.h"
#include "pixels.h"
#include "process_list.h"
#include "skin_layout.h"
#include "wait_until.h"
#include "windows.h"

namespace {

using namespace std::chrono_literals;
using brdjtest::BrdjRun;
using brdjtest::Fields;
using brdjtest::RectField;

constexpr auto kStartLimit = 40s;

class BrdjMainWindowTest : public ::testing::Test {
protected:
    void StartAndWait() {
        ASSERT_TRUE(run_.Start());
        ASSERT_TRUE(run_.WaitForWindow(kStartLimit)) << run_.DebugLog();
        rect_ = run_.MainWindowRect();
    }
    // A screen point of the window's client point.
    std::string At(int x, int y) const {
        return std::to_string(rect_.left + x) + " " + std::to_string(rect_.top + y);
    }
    bool Do(const std::string& request) { return run_.Desk(request).ok; }

    BrdjRun run_;
    RECT rect_{};
};

TEST_F(BrdjMainWindowTest, StartsUpInOrderAndShowsTheWindowCentredWithItsTrayIcon) {
    StartAndWait();
    EXPECT_EQ(rect_.right - rect_.left, skin_layout::kWindowWidth);
    EXPECT_EQ(rect_.bottom - rect_.top, skin_layout::kWindowHeight);
    EXPECT_EQ(rect_.left, (1920 - 822) / 2);
    EXPECT_EQ(rect_.top, (1080 - 621) / 2);

    std::string log = run_.DebugLog();
    size_t window = log.find(LogTextInitWindow());
    size_t flash = log.find(LogTextInitFlash());
    ASSERT_NE(window, std::string::npos) << log;
    ASSERT_NE(flash, std::string::npos) << log;
    EXPECT_LT(window, flash);
    EXPECT_NE(run_.ProxyLog().find("InitProxy ok"), std::string::npos);
    EXPECT_FALSE(brtest::ProcessesNamed("BrCoreService.exe").empty());

    auto tray = run_.Desk("tray").lines;
    ASSERT_EQ(tray.size(), 1u);
    EXPECT_EQ(Fields(tray[0])["tip"], "BrindoDJ");
    EXPECT_EQ(Fields(tray[0])["id"], "1522");
    EXPECT_TRUE(run_.Desk("boxes").lines.empty());
}

// The frame strips and the buttons at their places, in the looks the pointer gives them.
TEST_F(BrdjMainWindowTest, TheScreenShowsTheSkinAtItsPlacesInItsLooks) {
    StartAndWait();
    struct Look {
        const char* what;
        // The requests that put the pointer (and the buttons) there, as a person's hand would:
        // the pointer moves to a button before it is pressed there.
        std::vector<std::string> pointer;
        std::string looks[4];
    };
    const Look kLooks[] = {
        {"the pointer away", {"move " + At(400, 300)}, {"N", "N", "N", "N"}},
        {"over the minimise button", {"move " + At(775, 14)}, {"N", "F", "N", "N"}},
        {"pressed on the help button",
         {"move " + At(744, 14), "down left " + At(744, 14)},
         {"N", "N", "S", "N"}},
    };
    const RECT kAreas[] = {skin_layout::kTop,    skin_layout::kLeft,    skin_layout::kRight,
                           skin_layout::kBottom, skin_layout::kClose,   skin_layout::kMin,
                           skin_layout::kHelp,   skin_layout::kFeedback};
    for (const Look& look : kLooks) {
        SCOPED_TRACE(look.what);
        for (const std::string& request : look.pointer) {
            ASSERT_TRUE(Do(request));
        }
        auto expected = brdjtest::ExpectedSkin(look.looks);
        // The window repaints after the input: wait for the picture to show the look.
        std::string where;
        bool same = brtest::WaitUntil(
            [&] {
                std::string path = run_.SaveScreen("screen.png");
                auto screen = brdjtest::ReadPicture(path, 1920, 1080);
                if (!screen)
                    return false;
                for (const RECT& area : kAreas) {
                    // The rounded corners are outside the window: compare inside them.
                    RECT inner = area;
                    if (inner.top == 0)
                        inner.top = 3;
                    if (inner.bottom == skin_layout::kWindowHeight)
                        inner.bottom -= 3;
                    if (!brdjtest::SameArea(*screen, rect_.left, rect_.top, *expected, inner,
                                            &where))
                        return false;
                }
                return true;
            },
            5s);
        EXPECT_TRUE(same) << where << "; see "
                          << run_.KeepScreen(std::string("failed-") + look.what);
    }
    ASSERT_TRUE(Do("up left " + At(400, 20)));
}

// The window's region cuts its corners: the screen shows what is behind them.
TEST_F(BrdjMainWindowTest, TheCornersAreOutsideTheWindowsRegion) {
    StartAndWait();
    std::string path = run_.SaveScreen("screen.png");
    auto screen = brdjtest::ReadPicture(path, 1920, 1080);
    ASSERT_NE(screen, nullptr);
    const uint32_t desktop = screen->At(5, 5) & 0xFFFFFFu;
    const POINT kCorners[] = {{0, 0}, {821, 0}, {0, 620}, {821, 620}};
    for (const POINT& corner : kCorners) {
        EXPECT_EQ(screen->At(rect_.left + corner.x, rect_.top + corner.y) & 0xFFFFFFu, desktop)
            << corner.x << ", " << corner.y;
    }
    // Inside the corners the frame shows.
    EXPECT_NE(screen->At(rect_.left + 3, rect_.top + 3) & 0xFFFFFFu, desktop);
    EXPECT_NE(screen->At(rect_.left + 818, rect_.top + 617) & 0xFFFFFFu, desktop);
}

// A press on the frame drags the window; a press on a button, or on the top pixel row (HTCLOSE),
// does not.
TEST_F(BrdjMainWindowTest, APressOnTheFrameOutsideTheButtonsDragsTheWindow) {
    StartAndWait();
    struct Drag {
        const char* what;
        POINT press;  // client point
        bool moves;
    };
    const Drag kDrags[] = {
        {"the top strip", {300, 15}, true},     {"the bottom strip", {300, 619}, true},
        {"the left edge", {1, 300}, true},      {"a button", {805, 14}, false},
        {"the top pixel row", {300, 0}, false}, {"the bottom pixel row", {300, 620}, false},
    };
    for (const Drag& drag : kDrags) {
        SCOPED_TRACE(drag.what);
        RECT before = run_.MainWindowRect();
        rect_ = before;
        ASSERT_TRUE(Do("down left " + At(drag.press.x, drag.press.y)));
        ASSERT_TRUE(Do("move " + At(drag.press.x + 20, drag.press.y + 10)));
        ASSERT_TRUE(Do("move " + At(drag.press.x + 40, drag.press.y + 30)));
        // Released off every button, so that no action runs.
        ASSERT_TRUE(Do("up left " + At(drag.press.x + 40, drag.press.y + 30)));
        if (drag.moves) {
            EXPECT_TRUE(brtest::WaitUntil(
                [&] {
                    RECT now = run_.MainWindowRect();
                    return now.left == before.left + 40 && now.top == before.top + 30;
                },
                5s));
        } else {
            EXPECT_TRUE(brtest::NothingFor(500ms, [&] {
                RECT now = run_.MainWindowRect();
                return now.left != before.left || now.top != before.top;
            }));
        }
    }
    EXPECT_TRUE(run_.Running());
}

TEST_F(BrdjMainWindowTest, EnterAndEscapeNeverCloseTheWindow) {
    StartAndWait();
    for (const char* key : {"return", "escape"}) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(Do(std::string("key press ") + key));
        EXPECT_TRUE(brtest::NothingFor(1s, [&] { return !run_.Running(); }));
        EXPECT_EQ(run_.MainWindow()["visible"], "1");
    }
}

// The system menu's About command opens the About box; Enter gives its OK, and the window runs
// on.
TEST_F(BrdjMainWindowTest, TheAboutCommandShowsTheAboutBoxUntilItsOk) {
    StartAndWait();
    HWND window = FindWindowA(nullptr, "BrindoDJ");
    ASSERT_NE(window, nullptr);
    const std::string title = "关于 BRDJ";  // the socket answers in UTF-8
    auto aboutShows = [&] {
        for (const std::string& line : run_.Desk("windows").lines) {
            if (Fields(line)["text"] == title && Fields(line)["visible"] == "1") {
                return true;
            }
        }
        return false;
    };
    ASSERT_FALSE(aboutShows());
    ASSERT_TRUE(PostMessageA(window, WM_SYSCOMMAND, 0x10, 0));  // the system menu's About item
    ASSERT_TRUE(brtest::WaitUntil(aboutShows, 10s)) << "no About box";
    ASSERT_TRUE(Do("key press return"));
    EXPECT_TRUE(brtest::WaitUntil([&] { return !aboutShows(); }, 10s)) << "the About box stayed";
    EXPECT_TRUE(run_.Running());
    EXPECT_EQ(run_.MainWindow()["visible"], "1");
}

// Releasing the button over a skin button runs that button's action, whichever got the press.
TEST_F(BrdjMainWindowTest, ReleasingOverAButtonRunsItsAction) {
    StartAndWait();
    ASSERT_TRUE(Do("down left " + At(744, 14)));  // help
    ASSERT_TRUE(Do("move " + At(700, 14)));
    ASSERT_TRUE(Do("up left " + At(700, 14)));  // feedback
    ASSERT_TRUE(brtest::WaitUntil([&] { return !run_.OpenedAddresses().empty(); }, 10s));
    EXPECT_EQ(run_.OpenedAddresses(),
              "http://feedback.test:8080/ur/reflect/questionH.jsp?ver=XX\n");
    ASSERT_TRUE(Do("click left " + At(744, 14)));
    ASSERT_TRUE(brtest::WaitUntil(
        [&] { return run_.OpenedAddresses().find("help.test") != std::string::npos; }, 10s));
    EXPECT_EQ(run_.OpenedAddresses(),
              "http://feedback.test:8080/ur/reflect/questionH.jsp?ver=XX\n"
              "http://help.test/cafe/st/SubContent?subid=1202696\n");
    // Pressed on a button and released on the frame: nothing.
    ASSERT_TRUE(Do("down left " + At(744, 14)));
    ASSERT_TRUE(Do("move " + At(400, 20)));
    ASSERT_TRUE(Do("up left " + At(400, 20)));
    std::string opened = run_.OpenedAddresses();
    EXPECT_TRUE(brtest::NothingFor(1s, [&] { return run_.OpenedAddresses() != opened; }));
}

// The tray icon's right click opens menu 130 at the pointer.
TEST_F(BrdjMainWindowTest, ARightClickOnTheTrayIconOpensTheTrayMenuAtThePointer) {
    StartAndWait();
    auto tray = run_.Desk("tray").lines;
    ASSERT_EQ(tray.size(), 1u);
    RECT icon = RectField(Fields(tray[0])["rect"]);
    POINT click{(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
    ASSERT_TRUE(Do("click right " + std::to_string(click.x) + " " + std::to_string(click.y)));
    std::vector<std::string> menu;
    ASSERT_TRUE(brtest::WaitUntil(
        [&] {
            menu = run_.Desk("menu").lines;
            return !menu.empty();
        },
        5s));
    std::vector<std::pair<std::string, std::string>> items;
    for (size_t i = 1; i < menu.size(); ++i) {
        auto fields = Fields(menu[i]);
        items.emplace_back(fields["id"], fields["text"]);
    }
    const std::vector<std::pair<std::string, std::string>> kItems = {{"32775", "显示主界面"},
                                                                     {"32776", "最  小  化"},
                                                                     {"0", ""},
                                                                     {"32777", "意见反馈"},
                                                                     {"0", ""},
                                                                     {"32773", "退  出"}};
    EXPECT_EQ(items, kItems);
    RECT placed = RectField(Fields(menu[0])["rect"]);
    // At the pointer: the menu's corner is there, or it was moved to stay on the screen.
    EXPECT_TRUE((placed.left == click.x || placed.right == click.x) &&
                (placed.top == click.y || placed.bottom == click.y))
        << menu[0];
    ASSERT_TRUE(Do("key press escape"));
}

// What the close order leaves behind: the program ended, the service stopped (it never ends
// for lack of clients, so only the stop ends it), and the stop came before the proxy's release:
// the proxy logs nothing when the service answers the stop request, and logs its fallback kill
// ("StopCoreServer ok") when there is no one left to ask, as after a release. The recorded
// installer ran hidden ("/S").
void ExpectClosedInOrder(BrdjRun& run) {
    EXPECT_EQ(run.WaitExit(30s), 0);
    EXPECT_TRUE(
        brtest::WaitUntil([] { return brtest::ProcessesNamed("BrCoreService.exe").empty(); }, 10s));
    std::string proxy = run.ProxyLog();
    size_t release = proxy.find("UnInitProxy ok");
    ASSERT_NE(release, std::string::npos) << proxy;
    size_t fallback = proxy.find("StopCoreServer ok");
    EXPECT_TRUE(fallback == std::string::npos || fallback < release) << proxy;
    EXPECT_TRUE(brtest::WaitUntil([&] { return !run.InstallerRecord().empty(); }, 10s));
    EXPECT_EQ(run.InstallerRecord(), "/S\n");
}

TEST_F(BrdjMainWindowTest, TheTrayMenusExitRunsTheWholeCloseOrder) {
    run_.RecordPendingInstaller("1.0.0.5");
    StartAndWait();
    auto tray = run_.Desk("tray").lines;
    ASSERT_EQ(tray.size(), 1u);
    RECT icon = RectField(Fields(tray[0])["rect"]);
    ASSERT_TRUE(
        Do("click right " + std::to_string(icon.left + 2) + " " + std::to_string(icon.top + 2)));
    RECT exit{};
    ASSERT_TRUE(brtest::WaitUntil(
        [&] {
            for (const std::string& line : run_.Desk("menu").lines) {
                auto fields = Fields(line);
                if (fields["id"] == "32773")
                    exit = RectField(fields["rect"]);
            }
            return exit.right > exit.left;
        },
        5s));
    EXPECT_TRUE(run_.InstallerRecord().empty());
    ASSERT_TRUE(Do("click left " + std::to_string((exit.left + exit.right) / 2) + " " +
                   std::to_string((exit.top + exit.bottom) / 2)));
    ExpectClosedInOrder(run_);
}

TEST_F(BrdjMainWindowTest, TheCloseButtonRunsTheWholeCloseOrder) {
    run_.RecordPendingInstaller("1.0.0.5");
    StartAndWait();
    ASSERT_TRUE(Do("click left " + At(805, 14)));
    ExpectClosedInOrder(run_);
}

// A left click on the tray icon restores the minimised window; the minimise button minimises it.
// A minimised window stays visible but is not drawn: the screen shows whether the frame is there.
TEST_F(BrdjMainWindowTest, TheMinimiseButtonAndATrayLeftClickRestoreIt) {
    StartAndWait();
    const std::string normal[4] = {"N", "N", "N", "N"};
    auto expected = brdjtest::ExpectedSkin(normal);
    const RECT kTopBeforeTheButtons = {3, 3, skin_layout::kFeedback.left, skin_layout::kTop.bottom};
    auto frameShown = [&] {
        auto screen = brdjtest::ReadPicture(run_.SaveScreen("screen.png"), 1920, 1080);
        return screen &&
               brdjtest::SameArea(*screen, rect_.left, rect_.top, *expected, kTopBeforeTheButtons);
    };
    ASSERT_TRUE(brtest::WaitUntil(frameShown, 5s));
    ASSERT_TRUE(Do("click left " + At(775, 14)));
    ASSERT_TRUE(brtest::WaitUntil([&] { return !frameShown(); }, 5s))
        << run_.KeepScreen("not-minimised");
    EXPECT_EQ(run_.MainWindow()["visible"], "1");
    auto tray = run_.Desk("tray").lines;
    ASSERT_EQ(tray.size(), 1u);
    RECT icon = RectField(Fields(tray[0])["rect"]);
    ASSERT_TRUE(
        Do("click left " + std::to_string(icon.left + 2) + " " + std::to_string(icon.top + 2)));
    EXPECT_TRUE(brtest::WaitUntil(frameShown, 5s)) << run_.KeepScreen("not-restored");
}

struct VersionCase {
    const char* name;
    const char* version;
    bool warned;
};

void PrintTo(const VersionCase& c, std::ostream* out) {
    *out << c.version;
}

class BrdjMainWindowFlashTest : public BrdjMainWindowTest,
                                public ::testing::WithParamInterface<VersionCase> {};

TEST_P(BrdjMainWindowFlashTest, OnlyAVersionBelowTenIsWarnedOf) {
    run_.SetConfig("Flash", "Version", GetParam().version);
    StartAndWait();
    std::vector<std::string> boxes = run_.Desk("boxes").lines;
    if (GetParam().warned) {
        ASSERT_EQ(boxes.size(), 1u);
        auto box = Fields(boxes[0]);
        EXPECT_EQ(box["caption"], "BrindoDJ提示");
        EXPECT_EQ(box["text"], "本机上的Flash版本过低，请更新至Flash10以上版本。");
        EXPECT_EQ(box["type"], "0x0");
    } else {
        EXPECT_TRUE(boxes.empty()) << boxes[0];
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, BrdjMainWindowFlashTest,
                         ::testing::Values(VersionCase{"v9_0", "9.0", true},
                                           VersionCase{"v9_45", "9.45", true},
                                           VersionCase{"v10_0", "10.0", false},
                                           VersionCase{"v11_2", "11.2", false},
                                           VersionCase{"v16_0", "16.0", false}),
                         [](const auto& info) { return std::string(info.param.name); });

class BrdjMainWindowNoServiceTest : public ::testing::Test {
protected:
    BrdjRun run_{BrdjRun::Service::kMissing};
};

// With no service to start, start-up asks six times, a second apart, and opens the window all
// the same.
TEST_F(BrdjMainWindowNoServiceTest, StartUpWaitsAboutSixSecondsAndOpensTheWindow) {
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(run_.Start());
    ASSERT_TRUE(run_.WaitForWindow(kStartLimit));
    EXPECT_GE(std::chrono::steady_clock::now() - started, 6s);
    EXPECT_NE(run_.DebugLog().find(LogTextInitFlash()), std::string::npos);
}

}  // namespace
