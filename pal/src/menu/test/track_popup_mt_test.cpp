// A popup menu driven from another thread, as the control socket and a display backend drive
// it: the thread waits for the menu to open, reads its items and clicks or types; and a popup
// for the window of another thread is refused.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "desktop/test/desktop_test_support.h"
#include "menu/test/popup_driver.h"
#include "wait_until.h"

namespace {

using paltest::Action;
using paltest::CreateAt;
using paltest::TestClass;
using paltest::WindowTest;
using Kind = paltest::Action::Kind;

TEST_F(WindowTest, APopupIsChosenFromAnotherThread) {
    TestClass windowClass;
    HWND owner = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {100, 100, 500, 400});
    ASSERT_NE(owner, nullptr);
    paltest::PumpAll();
    HMENU menu = paltest::MakeTrayPopup();
    struct Case {
        const char* name;
        std::vector<Action> actions;
        BOOL result;
    };
    const Case cases[] = {
        {"a click", {{Kind::kClickItem, 1}}, 32776},
        {"keys", {{Kind::kKey, VK_DOWN}, {Kind::kKey, VK_RETURN}}, 32775},
        {"a press elsewhere", {{Kind::kClickAt, 5, 5}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::atomic<bool> drove{false};
        std::thread driver([&] {
            PalPopupMenu open;
            if (brtest::WaitUntil([&] { return paltest::OnePopupOpen(&open); })) {
                for (const Action& action : c.actions) {
                    paltest::Perform(action, open);
                }
                drove = true;
            }
        });
        BOOL result = TrackPopupMenu(menu, TPM_RETURNCMD, 300, 200, 0, owner, nullptr);
        driver.join();
        EXPECT_TRUE(drove);
        EXPECT_EQ(result, c.result);
    }
    DestroyMenu(menu);
    DestroyWindow(owner);
}

TEST_F(WindowTest, APopupForAWindowOfAnotherThreadIsRefused) {
    TestClass windowClass;
    std::atomic<HWND> made{nullptr};
    std::atomic<bool> release{false};
    std::thread holder([&] {
        made = CreateAt(windowClass, WS_POPUP, nullptr, {0, 0, 10, 10});
        brtest::WaitUntil([&] { return release.load(); });
        DestroyWindow(made);
    });
    ASSERT_TRUE(brtest::WaitUntil([&] { return made.load() != nullptr; }));
    HWND other = made;
    HMENU menu = paltest::MakeTrayPopup();
    SetLastError(0);
    EXPECT_EQ(TrackPopupMenu(menu, 0, 0, 0, 0, other, nullptr), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_WINDOW_OF_OTHER_THREAD);
    EXPECT_TRUE(PalOpenPopupMenus().empty());
    release = true;
    holder.join();
    DestroyMenu(menu);
}

}  // namespace
