// CTrayIcon in the layer's notification area: add, change, remove and the retry after a failed
// add, the tip's cut, the flags of each call; the icon's mouse messages turned into one delayed
// click through the owner's timer; the singleton's life.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "test_root.h"
#include "tray_icon.h"
#include "windows.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr UINT kCallback = 2557;

// The owner: a window of the test thread that kills the click timer when it fires, as the main
// window does, and counts the expiries.
class Owner {
public:
    Owner() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = "TrayTestOwner";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowExA(0, "TrayTestOwner", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
        s_owner = this;
    }
    ~Owner() {
        DestroyWindow(hwnd_);
        s_owner = nullptr;
    }
    HWND Handle() const { return hwnd_; }
    const std::vector<Clock::time_point>& Expiries() const { return expiries_; }

    // Handles the thread's messages for the whole window of time.
    void PumpFor(std::chrono::milliseconds window) {
        PumpUntil(window, [] { return false; });
    }
    // Handles the thread's messages until the timer has fired `count` times or 5 s pass.
    bool PumpUntilExpiries(size_t count) {
        return PumpUntil(5s, [&] { return expiries_.size() >= count; });
    }

private:
    // Handles the thread's messages until `done` holds or `limit` passes. The thread is blocked
    // in GetMessageA between messages; a thread timer wakes it at the limit.
    template <class Done>
    bool PumpUntil(std::chrono::milliseconds limit, Done done) {
        const UINT_PTR deadline = SetTimer(nullptr, 0, static_cast<UINT>(limit.count()), nullptr);
        MSG msg;
        while (!done() && GetMessageA(&msg, nullptr, 0, 0) > 0) {
            if (msg.message == WM_TIMER && !msg.hwnd && msg.wParam == deadline)
                break;
            DispatchMessageA(&msg);
        }
        KillTimer(nullptr, deadline);
        return done();
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_TIMER && wParam == TIMER_TRAY_CLICK && s_owner) {
            KillTimer(hwnd, TIMER_TRAY_CLICK);
            s_owner->expiries_.push_back(Clock::now());
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    static Owner* s_owner;
    HWND hwnd_;
    std::vector<Clock::time_point> expiries_;
};
Owner* Owner::s_owner = nullptr;

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        icon_ = PalLoadIconPngA(BRDJ_ICON_FILE);
        ASSERT_NE(icon_, nullptr);
        other_ = PalLoadIconPngA(BRDJ_ICON_FILE);
        ASSERT_NE(other_, nullptr);
    }
    void TearDown() override {
        CTrayIcon::Destroy();
        DestroyIcon(icon_);
        DestroyIcon(other_);
    }
    static std::vector<PalNotifyIcon> Shown() { return PalNotifyIcons(); }

    brtest::ScopedTestRoot root_;
    Owner owner_;
    HICON icon_ = nullptr;
    HICON other_ = nullptr;
};

TEST_F(TrayIconTest, TheRecordStartsWithItsSizeAndIdAndNothingElse) {
    const NOTIFYICONDATAA& data = CTrayIcon::Instance()->GetIconData();
    EXPECT_EQ(data.cbSize, 508u);
    EXPECT_EQ(data.uID, 1522u);
    EXPECT_EQ(data.hWnd, nullptr);
    EXPECT_EQ(data.hIcon, nullptr);
    EXPECT_EQ(data.uFlags, 0u);
    EXPECT_STREQ(data.szTip, "");
    EXPECT_FALSE(CTrayIcon::Instance()->IsRightClick());
    EXPECT_EQ(CTrayIcon::Instance(), CTrayIcon::Instance());
}

// The program's string of the icon's id, while a test holds it: registered as a resource table
// of this test program (the table lives in the program's own data, as a module's table must).
char g_tipText[200];
PalResource g_tipTable[1];

class ProgramTip {
public:
    explicit ProgramTip(const std::string& text) {
        std::memcpy(g_tipText, text.data(), text.size());
        g_tipTable[0] = {RT_STRING, MAKEINTRESOURCEA(1522), g_tipText,
                         static_cast<DWORD>(text.size())};
        registered_ = PalRegisterResources(g_tipTable, 1);
    }
    ~ProgramTip() {
        if (registered_)
            PalUnregisterResources(g_tipTable);
    }
    bool Registered() const { return registered_; }

private:
    BOOL registered_ = FALSE;
};

// The tip starts as the program's string 1522, cut to what the record holds, and the first add
// shows it when no tip is given.
TEST_F(TrayIconTest, TheTipStartsAsTheProgramsStringOfTheIconsId) {
    const struct {
        const char* what;
        std::string text;
        std::string tip;
    } kCases[] = {
        {"a short string", "BrindoDJ tip", "BrindoDJ tip"},
        {"a string longer than the tip", std::string(150, 'x'), std::string(127, 'x')},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        ProgramTip string(c.text);
        ASSERT_TRUE(string.Registered());
        CTrayIcon* tray = CTrayIcon::Instance();
        EXPECT_EQ(std::string(tray->GetIconData().szTip), c.tip);
        tray->SetOwner(owner_.Handle(), kCallback);
        ASSERT_TRUE(tray->SetIcon(icon_, nullptr));
        EXPECT_EQ(tray->GetIconData().uFlags, NIF_ICON | NIF_TIP | NIF_MESSAGE);
        ASSERT_EQ(Shown().size(), 1u);
        EXPECT_EQ(Shown()[0].tip, c.tip);
        CTrayIcon::Destroy();
    }
}

// One call after another on the same icon, with the area and the record after each.
struct IconStep {
    const char* what;
    int icon;  // 0 none, 1 the first, 2 the other
    const char* tip;
    BOOL result;
    int shownIcon;  // what the area shows: 0 nothing
    const char* shownTip;
    UINT flags;
};

TEST_F(TrayIconTest, AddsChangesAndRemovesTheIcon) {
    CTrayIcon* tray = CTrayIcon::Instance();
    tray->SetOwner(owner_.Handle(), kCallback);
    const UINT all = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    const IconStep kSteps[] = {
        {"remove while none is shown: success without a call", 0, nullptr, TRUE, 0, "", 0},
        {"add", 1, "BrindoDJ", TRUE, 1, "BrindoDJ", all},
        {"change the icon, tip kept", 2, nullptr, TRUE, 2, "BrindoDJ", all},
        {"change the tip", 2, "Another tip", TRUE, 2, "Another tip", all},
        {"remove", 0, nullptr, TRUE, 0, "", NIF_TIP | NIF_MESSAGE},
        {"remove again", 0, nullptr, TRUE, 0, "", 0},
        {"add anew", 1, nullptr, TRUE, 1, "Another tip", all},
    };
    for (const IconStep& step : kSteps) {
        SCOPED_TRACE(step.what);
        HICON icons[] = {nullptr, icon_, other_};
        EXPECT_EQ(tray->SetIcon(icons[step.icon], step.tip), step.result);
        std::vector<PalNotifyIcon> shown = Shown();
        if (step.shownIcon == 0) {
            EXPECT_TRUE(shown.empty());
            EXPECT_EQ(tray->GetIconData().hIcon, nullptr);
        } else {
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].hIcon, icons[step.shownIcon]);
            EXPECT_EQ(shown[0].uID, 1522u);
            EXPECT_EQ(shown[0].hWnd, owner_.Handle());
            EXPECT_EQ(shown[0].uCallbackMessage, kCallback);
            EXPECT_EQ(shown[0].tip, step.shownTip);
        }
        EXPECT_EQ(tray->GetIconData().uFlags, step.flags);
    }
}

TEST_F(TrayIconTest, AfterAFailedAddTheNextCallAddsAgain) {
    CTrayIcon* tray = CTrayIcon::Instance();
    HWND gone = CreateWindowExA(0, "TrayTestOwner", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                nullptr, nullptr);
    DestroyWindow(gone);
    tray->SetOwner(gone, kCallback);
    EXPECT_FALSE(tray->SetIcon(icon_, "BrindoDJ"));
    EXPECT_EQ(tray->GetIconData().hIcon, nullptr);
    EXPECT_TRUE(Shown().empty());
    tray->SetOwner(owner_.Handle(), kCallback);
    // A change of an icon that is not there would fail: success means it was added.
    EXPECT_TRUE(tray->SetIcon(icon_, nullptr));
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].tip, "BrindoDJ");
}

struct TipCase {
    const char* name;
    std::string tip;
    std::string kept;
    UINT flags;
};

void PrintTo(const TipCase& c, std::ostream* os) {
    *os << c.name;
}

class TrayTipTest : public TrayIconTest, public ::testing::WithParamInterface<TipCase> {};

TEST_P(TrayTipTest, KeepsAtMost127BytesAndLeavesAnEmptyTipOut) {
    CTrayIcon* tray = CTrayIcon::Instance();
    tray->SetOwner(owner_.Handle(), kCallback);
    ASSERT_TRUE(tray->SetIcon(icon_, GetParam().tip.c_str()));
    EXPECT_EQ(std::string(tray->GetIconData().szTip), GetParam().kept);
    EXPECT_EQ(tray->GetIconData().uFlags, GetParam().flags);
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].tip, GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrayTipTest,
    ::testing::Values(TipCase{"short", "BrindoDJ", "BrindoDJ", NIF_ICON | NIF_TIP | NIF_MESSAGE},
                      TipCase{"empty", "", "", NIF_ICON | NIF_MESSAGE},
                      TipCase{"of_127_bytes", std::string(127, 'a'), std::string(127, 'a'),
                              NIF_ICON | NIF_TIP | NIF_MESSAGE},
                      TipCase{"of_128_bytes", std::string(127, 'b') + "c", std::string(127, 'b'),
                              NIF_ICON | NIF_TIP | NIF_MESSAGE},
                      TipCase{"of_300_bytes", std::string(300, 'd'), std::string(127, 'd'),
                              NIF_ICON | NIF_TIP | NIF_MESSAGE}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrayIconTest, WithoutACallbackMessageTheRecordAsksForNone) {
    CTrayIcon* tray = CTrayIcon::Instance();
    tray->SetOwner(owner_.Handle(), 0);
    ASSERT_TRUE(tray->SetIcon(icon_, "BrindoDJ"));
    EXPECT_EQ(tray->GetIconData().uFlags, NIF_ICON | NIF_TIP);
}

// The icon's mouse messages, handed over as the owner's window procedure does.
struct ClickCase {
    const char* name;
    std::vector<std::pair<WPARAM, LPARAM>> messages;
    std::vector<LRESULT> results;
    bool rightClick;
    bool doubleClick;
    size_t expiries;
};

void PrintTo(const ClickCase& c, std::ostream* os) {
    *os << c.name;
}

class TrayClickTest : public TrayIconTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(TrayClickTest, EndsInOneDelayedClickAtMost) {
    const ClickCase& c = GetParam();
    CTrayIcon* tray = CTrayIcon::Instance();
    tray->SetOwner(owner_.Handle(), kCallback);
    std::vector<LRESULT> results;
    for (const auto& [id, message] : c.messages) results.push_back(tray->OnNotify(id, message));
    EXPECT_EQ(results, c.results);
    EXPECT_EQ(tray->IsRightClick(), c.rightClick);
    EXPECT_EQ(tray->IsDoubleClick(), c.doubleClick);
    // A second expiry would come one period after the first: watch for it that long and more.
    const auto period = std::chrono::milliseconds(GetDoubleClickTime() + kTrayClickExtraMs);
    if (c.expiries > 0) {
        EXPECT_TRUE(owner_.PumpUntilExpiries(c.expiries));
    }
    owner_.PumpFor(period + 200ms);
    EXPECT_EQ(owner_.Expiries().size(), c.expiries);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrayClickTest,
    ::testing::Values(
        ClickCase{"right_click", {{1522, WM_RBUTTONUP}}, {1}, true, false, 1},
        ClickCase{
            "left_click", {{1522, WM_LBUTTONDOWN}, {1522, WM_LBUTTONUP}}, {1, 1}, false, false, 1},
        ClickCase{"double_click_acts_once",
                  {{1522, WM_LBUTTONDOWN},
                   {1522, WM_LBUTTONUP},
                   {1522, WM_LBUTTONDBLCLK},
                   {1522, WM_LBUTTONUP}},
                  {1, 1, 1, 1},
                  false,
                  false,
                  1},
        ClickCase{"right_click_then_left_press_restores_instead",
                  {{1522, WM_RBUTTONUP}, {1522, WM_LBUTTONDOWN}},
                  {1, 1},
                  false,
                  false,
                  1},
        ClickCase{"right_click_then_left_double_click_shows_no_menu",
                  {{1522, WM_RBUTTONUP}, {1522, WM_LBUTTONDOWN}, {1522, WM_LBUTTONDBLCLK}},
                  {1, 1, 1},
                  false,
                  true,
                  1},
        ClickCase{"a_press_alone_sets_no_timer", {{1522, WM_LBUTTONDOWN}}, {1}, false, false, 0},
        ClickCase{"another_icon_or_message_is_ignored",
                  {{1523, WM_RBUTTONUP},
                   {1522, WM_RBUTTONDOWN},
                   {1522, WM_MOUSEMOVE},
                   {1522, WM_RBUTTONDBLCLK}},
                  {0, 0, 0, 0},
                  false,
                  false,
                  0}),
    [](const auto& info) { return std::string(info.param.name); });

// A second release before the timer fires restarts its period: one expiry, a whole period after
// the last release.
TEST_F(TrayIconTest, TheLastReleaseRestartsTheDelay) {
    CTrayIcon* tray = CTrayIcon::Instance();
    tray->SetOwner(owner_.Handle(), kCallback);
    const auto period = std::chrono::milliseconds(GetDoubleClickTime() + kTrayClickExtraMs);
    tray->OnNotify(1522, WM_LBUTTONUP);
    owner_.PumpFor(period / 2);
    tray->OnNotify(1522, WM_LBUTTONDBLCLK);
    tray->OnNotify(1522, WM_LBUTTONUP);
    const auto lastRelease = Clock::now();
    ASSERT_TRUE(owner_.PumpUntilExpiries(1));
    EXPECT_GE(owner_.Expiries()[0] - lastRelease, period);
    owner_.PumpFor(period + 200ms);
    EXPECT_EQ(owner_.Expiries().size(), 1u);
}

TEST_F(TrayIconTest, DestroyRemovesTheIconAndASecondDestroyDoesNothing) {
    CTrayIcon* tray = CTrayIcon::Instance();
    tray->SetOwner(owner_.Handle(), kCallback);
    ASSERT_TRUE(tray->SetIcon(icon_, "BrindoDJ"));
    ASSERT_EQ(Shown().size(), 1u);
    CTrayIcon::Destroy();
    EXPECT_TRUE(Shown().empty());
    CTrayIcon::Destroy();
    CTrayIcon* fresh = CTrayIcon::Instance();
    EXPECT_EQ(fresh->GetIconData().hIcon, nullptr);
    EXPECT_EQ(fresh->GetIconData().hWnd, nullptr);
    EXPECT_FALSE(fresh->IsRightClick());
}

}  // namespace
