// Menus made in code: items, their texts and submenus, the failure values of every call on a
// handle that is no menu, the truncation of texts, and the system menu.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test/window_test_support.h"

namespace {

using paltest::TestClass;
using paltest::WindowTest;

// The tray menu of the client, as a popup in a menu bar.
struct TrayMenu {
    TrayMenu() {
        AppendMenuA(popup, MF_STRING, 32775, PalGbk("显示主界面"));
        AppendMenuA(popup, MF_STRING, 32776, PalGbk("最  小  化"));
        AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(popup, MF_STRING, 32777, PalGbk("意见反馈"));
        AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(popup, MF_STRING, 32773, PalGbk("退  出"));
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "tray");
    }
    HMENU bar = CreateMenu();
    HMENU popup = CreatePopupMenu();
};

std::string MenuString(HMENU menu, UINT item, UINT flags, int size = 64) {
    std::string text(size, '\x7f');
    int n = GetMenuStringA(menu, item, text.data(), size, flags);
    return n > 0 ? text.substr(0, n) : std::string();
}

TEST(MenuTest, ItemsTextsAndSubmenus) {
    TrayMenu tray;
    ASSERT_NE(tray.bar, nullptr);
    ASSERT_NE(tray.bar, tray.popup);
    EXPECT_EQ(GetMenuItemCount(tray.bar), 1);
    EXPECT_EQ(GetMenuItemCount(tray.popup), 6);
    EXPECT_EQ(GetSubMenu(tray.bar, 0), tray.popup);
    struct Case {
        HMENU menu;
        UINT item;
        UINT flags;
        std::string text;  // UTF-8; empty for no text
    };
    const Case cases[] = {
        {tray.popup, 32775, MF_BYCOMMAND, "显示主界面"},
        {tray.popup, 1, MF_BYPOSITION, "最  小  化"},
        {tray.popup, 5, MF_BYPOSITION, "退  出"},
        {tray.bar, 32777, MF_BYCOMMAND, "意见反馈"},  // found in the submenu
        {tray.bar, 0, MF_BYPOSITION, "tray"},
        {tray.popup, 2, MF_BYPOSITION, ""},  // a separator has no text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        EXPECT_EQ(MenuString(c.menu, c.item, c.flags), c.text.empty() ? "" : PalGbk(c.text.c_str()));
    }
    // Without a buffer: the length in bytes.
    EXPECT_EQ(GetMenuStringA(tray.popup, 32777, nullptr, 0, MF_BYCOMMAND), 8);
    // Items that are not submenus, and positions out of range.
    for (int pos : {-1, 0, 2, 6}) {
        SCOPED_TRACE(pos);
        EXPECT_EQ(GetSubMenu(tray.popup, pos), nullptr);
    }
    EXPECT_EQ(GetSubMenu(tray.bar, 1), nullptr);
    EXPECT_TRUE(DestroyMenu(tray.bar));
}

TEST(MenuTest, TextsAreCutToTheBufferNeverInsideACharacter) {
    HMENU menu = CreatePopupMenu();
    std::string text = std::string("ab") + PalGbk("关于");  // 2 + 4 bytes
    ASSERT_TRUE(AppendMenuA(menu, MF_STRING, 7, text.c_str()));
    struct Case {
        int size;
        int copied;
    };
    const Case cases[] = {{1, 0}, {2, 1}, {3, 2}, {4, 2}, {5, 4}, {6, 4}, {7, 6}, {64, 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        std::string buffer(c.size + 1, '\x7f');
        EXPECT_EQ(GetMenuStringA(menu, 7, buffer.data(), c.size, MF_BYCOMMAND), c.copied);
        EXPECT_EQ(buffer.substr(0, c.copied), text.substr(0, c.copied));
        EXPECT_EQ(buffer[c.copied], '\0');
        EXPECT_EQ(buffer[c.size], '\x7f');  // nothing written past the buffer
    }
    char untouched = '\x7f';
    EXPECT_EQ(GetMenuStringA(menu, 7, &untouched, 0, MF_BYCOMMAND), 0);
    EXPECT_EQ(untouched, '\x7f');
    DestroyMenu(menu);
}

TEST(MenuTest, EveryCallOnAHandleThatIsNoMenuFails) {
    HMENU destroyed = CreatePopupMenu();
    ASSERT_TRUE(DestroyMenu(destroyed));
    HMENU never = reinterpret_cast<HMENU>(static_cast<intptr_t>(0x1234));
    HMENU live = CreatePopupMenu();
    char text[16];
    struct Case {
        const char* call;
        std::function<long long(HMENU)> run;
        long long failure;
    };
    const Case cases[] = {
        {"DestroyMenu", [](HMENU m) { return DestroyMenu(m); }, FALSE},
        {"AppendMenuA", [](HMENU m) { return AppendMenuA(m, MF_STRING, 1, "x"); }, FALSE},
        {"GetMenuItemCount", [](HMENU m) { return GetMenuItemCount(m); }, -1},
        {"GetSubMenu", [](HMENU m) { return reinterpret_cast<intptr_t>(GetSubMenu(m, 0)); }, 0},
        {"GetMenuStringA",
         [&](HMENU m) { return GetMenuStringA(m, 0, text, 16, MF_BYPOSITION); }, 0},
        {"AppendMenuA of it as a submenu",
         [&](HMENU m) {
             return AppendMenuA(live, MF_POPUP, reinterpret_cast<UINT_PTR>(m), "sub");
         },
         FALSE},
        {"TrackPopupMenu", [](HMENU m) { return TrackPopupMenu(m, 0, 0, 0, 0, nullptr, nullptr); },
         FALSE},
    };
    for (const Case& c : cases) {
        for (HMENU handle : {destroyed, never, static_cast<HMENU>(nullptr)}) {
            SCOPED_TRACE(std::string(c.call) + " " + std::to_string(reinterpret_cast<intptr_t>(handle)));
            SetLastError(0);
            EXPECT_EQ(c.run(handle), c.failure);
            EXPECT_EQ(GetLastError(), ERROR_INVALID_MENU_HANDLE);
        }
    }
    EXPECT_EQ(GetMenuItemCount(live), 0);
    DestroyMenu(live);
}

TEST(MenuTest, OtherFailures) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 5, "five");
    char text[8];
    struct Case {
        const char* call;
        std::function<long long()> run;
        long long failure;
        DWORD error;
    };
    const Case cases[] = {
        {"a bitmap item", [&] { return AppendMenuA(menu, MF_BITMAP, 1, "x"); }, FALSE,
         ERROR_NOT_SUPPORTED},
        {"an owner-drawn item", [&] { return AppendMenuA(menu, MF_OWNERDRAW, 1, "x"); }, FALSE,
         ERROR_NOT_SUPPORTED},
        {"no such command", [&] { return GetMenuStringA(menu, 6, text, 8, MF_BYCOMMAND); }, 0,
         ERROR_MENU_ITEM_NOT_FOUND},
        {"no such position", [&] { return GetMenuStringA(menu, 1, text, 8, MF_BYPOSITION); }, 0,
         ERROR_MENU_ITEM_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        SetLastError(0);
        EXPECT_EQ(c.run(), c.failure);
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_EQ(GetMenuItemCount(menu), 1);  // the refused items were not added
    DestroyMenu(menu);
}

TEST(MenuTest, DestroyingAMenuFreesItsSubmenus) {
    HMENU bar = CreateMenu();
    HMENU popup = CreatePopupMenu();
    HMENU nested = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuA(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(nested), "nested"));
    ASSERT_TRUE(AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "popup"));
    ASSERT_TRUE(DestroyMenu(bar));
    for (HMENU gone : {bar, popup, nested}) {
        SetLastError(0);
        EXPECT_EQ(GetMenuItemCount(gone), -1);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_MENU_HANDLE);
    }
    // A new menu never gets a freed handle back.
    HMENU fresh = CreatePopupMenu();
    EXPECT_NE(fresh, bar);
    EXPECT_NE(fresh, popup);
    EXPECT_NE(fresh, nested);
    DestroyMenu(fresh);
}

TEST(MenuTest, AMenuThatCarriesItselfIsSearchedAndFreedOnce) {
    HMENU menu = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), "itself"));
    ASSERT_TRUE(AppendMenuA(menu, MF_STRING, 9, "nine"));
    EXPECT_EQ(MenuString(menu, 9, MF_BYCOMMAND), "nine");
    EXPECT_EQ(GetMenuStringA(menu, 10, nullptr, 0, MF_BYCOMMAND), 0);
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(DestroyMenu(menu));
}

TEST_F(WindowTest, TheSystemMenuIsTheWindowsOwnCopyWithTheStandardItems) {
    TestClass windowClass;
    HWND hwnd = windowClass.Create(WS_POPUP | WS_SYSMENU);
    HWND other = windowClass.Create(WS_POPUP | WS_SYSMENU);
    HWND without = windowClass.Create(WS_POPUP);
    ASSERT_NE(hwnd, nullptr);
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    ASSERT_NE(menu, nullptr);
    const std::vector<std::pair<UINT, std::string>> standard{
        {SC_RESTORE, "还原(&R)"}, {SC_MOVE, "移动(&M)"},         {SC_SIZE, "大小(&S)"},
        {SC_MINIMIZE, "最小化(&N)"}, {SC_MAXIMIZE, "最大化(&X)"}, {0, ""},
        {SC_CLOSE, "关闭(&C)\tAlt+F4"}};
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(standard.size()));
    for (size_t i = 0; i < standard.size(); ++i) {
        SCOPED_TRACE(i);
        const std::string expected = standard[i].second.empty() ? "" : PalGbk(standard[i].second.c_str());
        EXPECT_EQ(MenuString(menu, static_cast<UINT>(i), MF_BYPOSITION), expected);
        if (standard[i].first) {
            EXPECT_EQ(MenuString(menu, standard[i].first, MF_BYCOMMAND), expected);
        }
    }
    // What the main window appends stays: the same copy comes back.
    ASSERT_TRUE(AppendMenuA(menu, MF_SEPARATOR, 0, nullptr));
    ASSERT_TRUE(AppendMenuA(menu, MF_STRING, 0x10, PalGbk("关于 BRDJ(&A)...")));
    EXPECT_EQ(GetSystemMenu(hwnd, FALSE), menu);
    EXPECT_EQ(GetMenuItemCount(GetSystemMenu(hwnd, FALSE)), 9);
    EXPECT_EQ(MenuString(menu, 0x10, MF_BYCOMMAND), PalGbk("关于 BRDJ(&A)..."));
    // Each window has its own.
    HMENU otherMenu = GetSystemMenu(other, FALSE);
    EXPECT_NE(otherMenu, menu);
    EXPECT_EQ(GetMenuItemCount(otherMenu), 7);
    // Reverting drops the copy; the next call makes a fresh one.
    EXPECT_EQ(GetSystemMenu(hwnd, TRUE), nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), -1);
    HMENU fresh = GetSystemMenu(hwnd, FALSE);
    EXPECT_NE(fresh, menu);
    EXPECT_EQ(GetMenuItemCount(fresh), 7);
    // No system menu without WS_SYSMENU; no window.
    EXPECT_EQ(GetSystemMenu(without, FALSE), nullptr);
    DestroyWindow(other);
    SetLastError(0);
    EXPECT_EQ(GetSystemMenu(other, FALSE), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    // The copy of a window that went is freed.
    EXPECT_EQ(GetMenuItemCount(otherMenu), -1);
    DestroyWindow(hwnd);
    DestroyWindow(without);
}

}  // namespace
