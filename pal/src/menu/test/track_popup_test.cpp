// TrackPopupMenu: the popup shown at the point with its items readable, chosen by the pointer
// and by keys, dismissed by Escape and by a press elsewhere, the command posted as WM_COMMAND or
// returned, and its failures.
#include <gtest/gtest.h>

#include "desktop/desktop_model.h"
#include "desktop/test/desktop_test_support.h"
#include "menu/test/popup_driver.h"
#include "draw/test/memory_dc.h"

#include <functional>

namespace {

using paltest::Action;
using paltest::CreateAt;
using paltest::SameThreadDriver;
using paltest::TestClass;
using paltest::WindowTest;
using Kind = paltest::Action::Kind;

// The WM_COMMAND ids waiting in the thread's queue for hwnd, taken.
std::vector<UINT> CommandsFor(HWND hwnd) {
    std::vector<UINT> ids;
    MSG msg;
    while (PeekMessageA(&msg, hwnd, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
        EXPECT_EQ(msg.lParam, 0);
        EXPECT_EQ(HIWORD(msg.wParam), 0u);
        ids.push_back(LOWORD(msg.wParam));
    }
    return ids;
}

class TrackPopupTest : public WindowTest {
protected:
    void SetUp() override {
        owner_ = CreateAt(windowClass_, WS_POPUP | WS_VISIBLE, nullptr, {100, 100, 500, 400});
        ASSERT_NE(owner_, nullptr);
        paltest::PumpAll();
        menu_ = paltest::MakeTrayPopup();
    }
    void TearDown() override {
        DestroyMenu(menu_);
        DestroyWindow(owner_);
    }
    // Tracks the menu at 200, 150, performing the actions once it is open.
    BOOL Track(UINT flags, const std::vector<Action>& actions) {
        SameThreadDriver driver(owner_, [&](const PalPopupMenu& open) {
            for (const Action& action : actions) {
                paltest::Perform(action, open);
            }
        });
        BOOL result = TrackPopupMenu(menu_, flags, 200, 150, 0, owner_, nullptr);
        EXPECT_TRUE(driver.ran);
        EXPECT_FALSE(driver.timedOut) << "the popup did not end by itself";
        EXPECT_TRUE(PalOpenPopupMenus().empty());
        return result;
    }

    TestClass windowClass_;
    HWND owner_ = nullptr;
    HMENU menu_ = nullptr;
};

TEST_F(TrackPopupTest, TheChoiceComesAsWmCommandOrAsTheResult) {
    struct Case {
        const char* name;
        UINT flags;
        std::vector<Action> actions;
        BOOL result;
        std::vector<UINT> commands;
    };
    const Case cases[] = {
        {"a click on an item", 0, {{Kind::kClickItem, 3}}, TRUE, {32777}},
        {"a click on the first item", 0, {{Kind::kClickItem, 0}}, TRUE, {32775}},
        {"down, down, down skips the separator",
         0,
         {{Kind::kKey, VK_DOWN}, {Kind::kKey, VK_DOWN}, {Kind::kKey, VK_DOWN},
          {Kind::kKey, VK_RETURN}},
         TRUE,
         {32777}},
        {"up from nothing is the last item", 0, {{Kind::kKey, VK_UP}, {Kind::kKey, VK_RETURN}},
         TRUE, {32773}},
        {"down past the last item wraps",
         0,
         {{Kind::kKey, VK_UP}, {Kind::kKey, VK_DOWN}, {Kind::kKey, VK_RETURN}},
         TRUE,
         {32775}},
        {"the pointer highlights, Enter chooses",
         0,
         {{Kind::kMoveToItem, 1}, {Kind::kKey, VK_RETURN}},
         TRUE,
         {32776}},
        {"Escape", 0, {{Kind::kKey, VK_DOWN}, {Kind::kKey, VK_ESCAPE}}, TRUE, {}},
        {"Enter with nothing highlighted", 0, {{Kind::kKey, VK_RETURN}}, TRUE, {}},
        {"a press elsewhere", 0, {{Kind::kClickAt, 1000, 900}}, TRUE, {}},
        {"a click on a separator chooses nothing",
         0,
         {{Kind::kClickItem, 2}, {Kind::kKey, VK_ESCAPE}},
         TRUE,
         {}},
        {"the right button chooses only when asked",
         0,
         {{Kind::kRightClickItem, 0}, {Kind::kKey, VK_ESCAPE}},
         TRUE,
         {}},
        {"the right button with TPM_RIGHTBUTTON", TPM_RIGHTBUTTON, {{Kind::kRightClickItem, 5}},
         TRUE, {32773}},
        {"TPM_RETURNCMD returns the id", TPM_RETURNCMD, {{Kind::kClickItem, 5}}, 32773, {}},
        {"TPM_RETURNCMD dismissed", TPM_RETURNCMD, {{Kind::kKey, VK_ESCAPE}}, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Track(c.flags, c.actions), c.result);
        EXPECT_EQ(CommandsFor(owner_), c.commands);
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

// The count of pixels of the popup window inside a rectangle of screen coordinates for which
// `counts` holds (given 0x00RRGGBB).
int CountPixels(HWND popup, const RECT& screen, const std::function<bool(uint32_t)>& counts) {
    RECT window;
    GetWindowRect(popup, &window);
    pal::test::MemoryDc copy(window.right - window.left, window.bottom - window.top);
    HDC dc = GetDC(popup);
    BitBlt(copy.dc(), 0, 0, window.right - window.left, window.bottom - window.top, dc, 0, 0,
           SRCCOPY);
    ReleaseDC(popup, dc);
    int count = 0;
    for (int y = screen.top; y < screen.bottom; ++y) {
        for (int x = screen.left; x < screen.right; ++x) {
            count += counts(copy.At(x - window.left, y - window.top) & 0xFFFFFF) ? 1 : 0;
        }
    }
    return count;
}

int DarkPixels(HWND popup, const RECT& screen) {
    return CountPixels(popup, screen, [](uint32_t p) {
        return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 300;
    });
}

TEST_F(TrackPopupTest, TheOpenPopupShowsItsItemsAtThePointOnTopOfEverything) {
    PalPopupMenu seen{};
    HWND frontmost = nullptr;
    int darkInText = 0;
    int darkInMargin = -1;
    std::string png = std::string(getenv("PAL_RUNTIME_DIR")) + "/popup.png";
    SameThreadDriver driver(owner_, [&](const PalPopupMenu& open) {
        seen = open;
        frontmost = pal::WindowAtPoint(paltest::CentreOf(open.items[0].rect));
        const RECT& item = open.items[0].rect;
        darkInText = DarkPixels(open.popup, item);
        darkInMargin = DarkPixels(open.popup, RECT{item.left, item.top, item.left + 20, item.bottom});
        PalSaveWindowPngA(open.popup, png.c_str());
        PalInputKey(VK_ESCAPE, TRUE);
        PalInputKey(VK_ESCAPE, FALSE);
    });
    ASSERT_TRUE(TrackPopupMenu(menu_, 0, 200, 150, 0, owner_, nullptr));
    ASSERT_TRUE(driver.ran);
    EXPECT_EQ(seen.owner, owner_);
    EXPECT_EQ(seen.menu, menu_);
    EXPECT_EQ(seen.threadId, GetCurrentThreadId());
    EXPECT_EQ(seen.hot, -1);
    EXPECT_EQ(frontmost, seen.popup);
    EXPECT_FALSE(IsWindow(seen.popup));  // gone with the menu
    ASSERT_EQ(seen.items.size(), 6u);
    const std::vector<UINT_PTR> ids{32775, 32776, 0, 32777, 0, 32773};
    const std::vector<UINT> types{MF_STRING, MF_STRING, MF_SEPARATOR, MF_STRING, MF_SEPARATOR,
                                  MF_STRING};
    EXPECT_EQ(seen.items[0].text, PalGbk("显示主界面"));
    EXPECT_EQ(seen.items[5].text, PalGbk("退  出"));
    // The menu's top-left corner is at the point, inside its border.
    EXPECT_GE(seen.items[0].rect.left, 200);
    EXPECT_LE(seen.items[0].rect.left, 204);
    EXPECT_GE(seen.items[0].rect.top, 150);
    EXPECT_LE(seen.items[0].rect.top, 154);
    for (size_t i = 0; i < ids.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen.items[i].id, ids[i]);
        EXPECT_EQ(seen.items[i].flags, types[i]);
        const RECT& r = seen.items[i].rect;
        EXPECT_GT(r.right - r.left, 60);
        if (i > 0) {  // one under the other, all as wide
            EXPECT_EQ(r.top, seen.items[i - 1].rect.bottom);
            EXPECT_EQ(r.left, seen.items[0].rect.left);
            EXPECT_EQ(r.right, seen.items[0].rect.right);
        }
    }
    EXPECT_LT(seen.items[2].rect.bottom - seen.items[2].rect.top,
              seen.items[0].rect.bottom - seen.items[0].rect.top);
    // The item's text is drawn, right of the margin left for a check mark.
    EXPECT_GT(darkInText, 20);
    EXPECT_EQ(darkInMargin, 0);
}

TEST_F(TrackPopupTest, ACheckedItemShowsACheckMarkInTheColourOfItsText) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING | MF_CHECKED, 1, "Checked");
    AppendMenuA(menu, MF_STRING, 2, "Plain");
    AppendMenuA(menu, MF_STRING | MF_CHECKED | MF_GRAYED, 3, "Grey and checked");
    constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kGrey = 0xA0A0A0;
    struct Case {
        const char* name;
        int downs;  // presses of Down: the highlight
        int item;
        uint32_t colour;
        bool marked;
    };
    const Case cases[] = {
        {"checked", 0, 0, kBlack, true},
        {"not checked", 0, 1, kBlack, false},
        {"checked and grey", 0, 2, kGrey, true},
        {"checked and highlighted", 1, 0, kWhite, true},
        {"highlighted, not checked", 2, 1, kWhite, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int markPixels = -1;
        bool pressed = false;
        std::string png = std::string(getenv("PAL_RUNTIME_DIR")) + "/checked.png";
        SameThreadDriver driver(
            owner_, SameThreadDriver::UntilDone{[&](const PalPopupMenu& open) {
                if (!pressed) {
                    for (int i = 0; i < c.downs; ++i) {
                        PalInputKey(VK_DOWN, TRUE);
                        PalInputKey(VK_DOWN, FALSE);
                    }
                    pressed = true;
                }
                if (open.hot != (c.downs ? c.downs - 1 : -1)) {
                    return false;  // the keys are not handled yet
                }
                UpdateWindow(open.popup);
                const RECT& row = open.items[c.item].rect;
                markPixels =
                    CountPixels(open.popup, RECT{row.left, row.top, row.left + 20, row.bottom},
                                [&](uint32_t p) { return p == c.colour; });
                PalSaveWindowPngA(open.popup, png.c_str());
                PalInputKey(VK_ESCAPE, TRUE);
                PalInputKey(VK_ESCAPE, FALSE);
                return true;
            }});
        EXPECT_TRUE(TrackPopupMenu(menu, 0, 200, 150, 0, owner_, nullptr));
        ASSERT_TRUE(driver.ran);
        EXPECT_FALSE(driver.timedOut);
        if (c.marked) {
            EXPECT_GT(markPixels, 10);
        } else {
            EXPECT_EQ(markPixels, 0);
        }
    }
    DestroyMenu(menu);
}

TEST_F(TrackPopupTest, AMenuThatWouldLeaveTheScreenOpensLeftAndAboveThePoint) {
    RECT menuRect{};
    SameThreadDriver driver(owner_, [&](const PalPopupMenu& open) {
        GetWindowRect(open.popup, &menuRect);
        PalInputKey(VK_ESCAPE, TRUE);
        PalInputKey(VK_ESCAPE, FALSE);
    });
    int right = GetSystemMetrics(SM_CXSCREEN) - 5;
    int bottom = GetSystemMetrics(SM_CYSCREEN) - 5;
    ASSERT_TRUE(TrackPopupMenu(menu_, 0, right, bottom, 0, owner_, nullptr));
    ASSERT_TRUE(driver.ran);
    EXPECT_EQ(menuRect.right, right);
    EXPECT_EQ(menuRect.bottom, bottom);
    EXPECT_GT(menuRect.right - menuRect.left, 60);
}

TEST_F(TrackPopupTest, MessagesOfTheThreadAreHandledWhileTheMenuIsOpen) {
    // A posted message reaches the owner during the menu; the owner going dismisses it.
    std::vector<UINT> handled;
    paltest::CurrentReaction() = [&](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (hwnd == owner_ && message == WM_USER + 1) {
            handled.push_back(message);
            DestroyWindow(owner_);
        }
        return std::nullopt;
    };
    SameThreadDriver driver(owner_, [&](const PalPopupMenu&) {
        PostMessageA(owner_, WM_USER + 1, 0, 0);
    });
    EXPECT_EQ(TrackPopupMenu(menu_, TPM_RETURNCMD, 200, 150, 0, owner_, nullptr), 0);
    EXPECT_EQ(handled, std::vector<UINT>{WM_USER + 1});
    EXPECT_TRUE(PalOpenPopupMenus().empty());
    EXPECT_FALSE(IsWindow(owner_));
}

TEST_F(TrackPopupTest, Failures) {
    HMENU destroyed = CreatePopupMenu();
    DestroyMenu(destroyed);
    HWND gone = CreateAt(windowClass_, WS_POPUP, nullptr, {0, 0, 10, 10});
    DestroyWindow(gone);
    struct Case {
        const char* name;
        HMENU menu;
        HWND owner;
        DWORD error;
    };
    const Case cases[] = {
        {"a destroyed menu", destroyed, owner_, ERROR_INVALID_MENU_HANDLE},
        {"no owner", menu_, nullptr, ERROR_INVALID_WINDOW_HANDLE},
        {"an owner that went", menu_, gone, ERROR_INVALID_WINDOW_HANDLE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(0);
        EXPECT_EQ(TrackPopupMenu(c.menu, 0, 10, 10, 0, c.owner, nullptr), FALSE);
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_TRUE(PalOpenPopupMenus().empty());
    }
    // A second popup while one is open on the thread.
    BOOL nested = TRUE;
    DWORD nestedError = 0;
    SameThreadDriver driver(owner_, [&](const PalPopupMenu&) {
        nested = TrackPopupMenu(menu_, 0, 10, 10, 0, owner_, nullptr);
        nestedError = GetLastError();
        PalInputKey(VK_ESCAPE, TRUE);
        PalInputKey(VK_ESCAPE, FALSE);
    });
    EXPECT_TRUE(TrackPopupMenu(menu_, 0, 200, 150, 0, owner_, nullptr));
    EXPECT_EQ(nested, FALSE);
    EXPECT_EQ(nestedError, ERROR_POPUP_ALREADY_ACTIVE);
}

}  // namespace
