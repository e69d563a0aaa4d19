// Submenus of a tracked popup, driven from another thread as the control socket drives them:
// opened by the pointer and by keys, closed one level at a time, a choice in any level ending
// the whole menu, every level listed while open, and each placed beside its item on the screen.
#include <gtest/gtest.h>

#include "desktop/desktop_model.h"
#include "desktop/test/desktop_test_support.h"
#include "menu/test/popup_driver.h"

namespace {

using paltest::Action;
using paltest::CreateAt;
using paltest::MenuStep;
using paltest::ScriptDriver;
using paltest::TestClass;
using paltest::WindowTest;
using Kind = paltest::Action::Kind;

constexpr UINT kOpen = 100;
constexpr UINT kExit = 103;
constexpr UINT kShowAll = 201;
constexpr UINT kNoBorder = 202;
constexpr UINT kExactFit = 203;
constexpr UINT kDeep = 301;

// The menu: open, scale > (show all [checked], no border, separator, exact fit [grey],
// more > (deep)), separator, exit.
struct Menus {
    Menus() {
        deep = CreatePopupMenu();
        AppendMenuA(deep, MF_STRING, kDeep, "Deep");
        scale = CreatePopupMenu();
        AppendMenuA(scale, MF_STRING | MF_CHECKED, kShowAll, "Show all");
        AppendMenuA(scale, MF_STRING, kNoBorder, "No border");
        AppendMenuA(scale, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(scale, MF_STRING | MF_GRAYED, kExactFit, "Exact fit");
        AppendMenuA(scale, MF_POPUP, reinterpret_cast<UINT_PTR>(deep), "More");
        root = CreatePopupMenu();
        AppendMenuA(root, MF_STRING, kOpen, "Open");
        AppendMenuA(root, MF_POPUP, reinterpret_cast<UINT_PTR>(scale), "Scale");
        AppendMenuA(root, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(root, MF_STRING, kExit, "Exit");
    }
    ~Menus() { DestroyMenu(root); }  // the submenus go with it
    HMENU root, scale, deep;
};

class SubmenuTest : public WindowTest {
protected:
    void SetUp() override {
        owner_ = CreateAt(windowClass_, WS_POPUP | WS_VISIBLE, nullptr, {100, 100, 500, 400});
        ASSERT_NE(owner_, nullptr);
        paltest::PumpAll();
    }
    void TearDown() override { DestroyWindow(owner_); }

    BOOL Track(UINT flags, std::vector<MenuStep> steps, POINT at = {200, 150}) {
        ScriptDriver driver(std::move(steps));
        BOOL result = TrackPopupMenu(menus_.root, flags, at.x, at.y, 0, owner_, nullptr);
        driver.Join();
        EXPECT_TRUE(driver.Finished()) << "a step waited in vain or the menu did not end";
        EXPECT_TRUE(PalOpenPopupMenus().empty());
        EXPECT_EQ(GetCapture(), nullptr);
        return result;
    }

    TestClass windowClass_;
    HWND owner_ = nullptr;
    Menus menus_;
};

MenuStep Key(size_t open, UINT key) {
    return MenuStep{open, open - 1, Action{Kind::kKey, static_cast<int>(key)}};
}
MenuStep Move(size_t open, size_t level, int item) {
    return MenuStep{open, level, Action{Kind::kMoveToItem, item}};
}
MenuStep Click(size_t open, size_t level, int item) {
    return MenuStep{open, level, Action{Kind::kClickItem, item}};
}

TEST_F(SubmenuTest, PointerAndKeysOpenCloseAndChooseInSubmenus) {
    struct Case {
        const char* name;
        UINT flags;
        std::vector<MenuStep> steps;
        BOOL result;
    };
    const Case cases[] = {
        {"the pointer opens it, a click in it chooses",
         TPM_RETURNCMD,
         {Move(1, 0, 1), Click(2, 1, 1)},
         kNoBorder},
        {"a click on the submenu item opens it",
         TPM_RETURNCMD,
         {Click(1, 0, 1), Click(2, 1, 0)},
         kShowAll},
        {"Right opens it with its first item highlighted",
         TPM_RETURNCMD,
         {Key(1, VK_DOWN), Key(1, VK_DOWN), Key(1, VK_RIGHT), Key(2, VK_RETURN)},
         kShowAll},
        {"Enter opens it, keys move in it",
         TPM_RETURNCMD,
         {Key(1, VK_DOWN), Key(1, VK_DOWN), Key(1, VK_RETURN), Key(2, VK_DOWN), Key(2, VK_RETURN)},
         kNoBorder},
        {"Up and Down in a submenu skip its separator and grey item",
         TPM_RETURNCMD,
         {Key(1, VK_DOWN), Key(1, VK_DOWN), Key(1, VK_RIGHT), Key(2, VK_UP), Key(2, VK_RIGHT),
          Key(3, VK_RETURN)},
         kDeep},
        {"Left closes just the submenu, the parent keeps its highlight",
         TPM_RETURNCMD,
         {Key(1, VK_DOWN), Key(1, VK_DOWN), Key(1, VK_RIGHT), Key(2, VK_LEFT), Key(1, VK_DOWN),
          Key(1, VK_RETURN)},
         kExit},
        {"Escape closes just the submenu",
         TPM_RETURNCMD,
         {Move(1, 0, 1), Key(2, VK_ESCAPE), Key(1, VK_UP), Key(1, VK_RETURN)},
         kOpen},
        {"Left in the menu itself closes nothing",
         TPM_RETURNCMD,
         {Key(1, VK_DOWN), Key(1, VK_LEFT), Key(1, VK_RETURN)},
         kOpen},
        {"the pointer on another item of the parent closes the submenu",
         TPM_RETURNCMD,
         {Move(1, 0, 1), Move(2, 0, 3), Key(1, VK_RETURN)},
         kExit},
        {"a click on an item of the parent chooses it",
         TPM_RETURNCMD,
         {Move(1, 0, 1), Click(2, 0, 0)},
         kOpen},
        {"a third level", TPM_RETURNCMD, {Move(1, 0, 1), Move(2, 1, 4), Click(3, 2, 0)}, kDeep},
        {"back from the third level to the second",
         TPM_RETURNCMD,
         {Move(1, 0, 1), Move(2, 1, 4), Move(3, 1, 0), Key(2, VK_RETURN)},
         kShowAll},
        {"a grey item and a separator choose nothing",
         TPM_RETURNCMD,
         {Move(1, 0, 1), Click(2, 1, 3), Click(2, 1, 2), Key(2, VK_ESCAPE), Key(1, VK_ESCAPE)},
         0},
        {"a press outside every level dismisses them all",
         TPM_RETURNCMD,
         {Move(1, 0, 1), Move(2, 1, 4), MenuStep{3, 0, Action{Kind::kClickAt, 1500, 900}}},
         0},
        {"the right button chooses in a submenu with TPM_RIGHTBUTTON",
         TPM_RETURNCMD | TPM_RIGHTBUTTON,
         {Move(1, 0, 1), MenuStep{2, 1, Action{Kind::kRightClickItem, 1}}},
         kNoBorder},
        {"a choice in a submenu is posted as WM_COMMAND", 0, {Move(1, 0, 1), Click(2, 1, 0)}, TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Track(c.flags, c.steps), c.result);
        MSG msg;
        bool posted = PeekMessageA(&msg, owner_, WM_COMMAND, WM_COMMAND, PM_REMOVE);
        EXPECT_EQ(posted, c.flags == 0);
        if (posted) {
            EXPECT_EQ(msg.wParam, MAKEWPARAM(kShowAll, 0));
        }
    }
}

// Waits for `open` levels, then puts the pointer on the item of the level; false when they did
// not open.
bool PointAt(size_t open, size_t level, int item) {
    std::vector<PalPopupMenu> menus;
    if (!brtest::WaitUntil([&] {
            menus = PalOpenPopupMenus();
            return menus.size() == open;
        })) {
        return false;
    }
    paltest::Perform(Action{Kind::kMoveToItem, item}, menus.at(level));
    return true;
}

// What the test saw with every level of the menu open.
struct Seen {
    std::vector<PalPopupMenu> open;
    std::vector<RECT> windows;
    HWND underDeepItem = nullptr;
};

TEST_F(SubmenuTest, EveryOpenLevelIsListedAndDrawnOverItsParent) {
    Seen seen;
    std::string png = std::string(getenv("PAL_RUNTIME_DIR")) + "/submenu.png";
    std::thread reader([&] {
        if (PointAt(1, 0, 1) && PointAt(2, 1, 4) &&
            brtest::WaitUntil([] { return PalOpenPopupMenus().size() == 3; })) {
            seen.open = PalOpenPopupMenus();
            for (const PalPopupMenu& level : seen.open) {
                RECT rect{};
                GetWindowRect(level.popup, &rect);
                seen.windows.push_back(rect);
            }
            seen.underDeepItem = pal::WindowAtPoint(paltest::CentreOf(seen.open[2].items[0].rect));
            PalSaveScreenPngA(png.c_str());
        }
        paltest::DismissAll();
    });
    EXPECT_EQ(TrackPopupMenu(menus_.root, TPM_RETURNCMD, 200, 150, 0, owner_, nullptr), 0);
    reader.join();
    ASSERT_EQ(seen.open.size(), 3u);
    const HMENU handles[] = {menus_.root, menus_.scale, menus_.deep};
    const int hot[] = {1, 4, -1};
    for (size_t level = 0; level < 3; ++level) {
        SCOPED_TRACE(level);
        const PalPopupMenu& open = seen.open[level];
        EXPECT_EQ(open.menu, handles[level]);
        EXPECT_EQ(open.owner, owner_);
        EXPECT_EQ(open.threadId, GetCurrentThreadId());
        EXPECT_EQ(open.hot, hot[level]);
        EXPECT_FALSE(IsWindow(open.popup));  // gone with the menu
    }
    EXPECT_NE(seen.open[0].popup, seen.open[1].popup);
    EXPECT_EQ(seen.open[0].items[1].id, reinterpret_cast<UINT_PTR>(menus_.scale));
    EXPECT_EQ(seen.open[1].items[0].flags, MF_STRING | MF_CHECKED);
    EXPECT_EQ(seen.open[1].items[3].flags, MF_STRING | MF_GRAYED);
    EXPECT_EQ(seen.open[1].items[4].text, "More");
    EXPECT_EQ(seen.underDeepItem, seen.open[2].popup);
    // Each submenu right of its parent, its first item level with the parent item.
    for (size_t level = 1; level < 3; ++level) {
        SCOPED_TRACE(level);
        const RECT& parentItem = seen.open[level - 1].items[seen.open[level - 1].hot].rect;
        EXPECT_EQ(seen.windows[level].left, seen.windows[level - 1].right);
        EXPECT_EQ(seen.open[level].items[0].rect.top, parentItem.top);
    }
}

TEST_F(SubmenuTest, ASubmenuOpensWhereItFitsOnTheScreen) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        const char* name;
        POINT at;
        bool onTheLeft;  // of its parent, else on the right
        bool upward;     // its last item level with the parent item, else its first
    };
    const Case cases[] = {
        {"room everywhere", {200, 150}, false, false},
        {"at the right edge", {width - 5, 150}, true, false},
        {"at the bottom edge", {200, height - 5}, false, true},
        {"in the bottom right corner", {width - 5, height - 5}, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<PalPopupMenu> open;
        std::thread reader([&] {
            if (PointAt(1, 0, 1) &&
                brtest::WaitUntil([] { return PalOpenPopupMenus().size() == 2; })) {
                open = PalOpenPopupMenus();
            }
            paltest::DismissAll();
        });
        EXPECT_EQ(TrackPopupMenu(menus_.root, TPM_RETURNCMD, c.at.x, c.at.y, 0, owner_, nullptr),
                  0);
        reader.join();
        ASSERT_EQ(open.size(), 2u);
        // The span of each level's items, inside its window's border.
        const RECT& first = open[1].items.front().rect;
        const RECT& last = open[1].items.back().rect;
        const RECT& parentItem = open[0].items[1].rect;
        EXPECT_GE(first.left, 0);
        EXPECT_LE(first.right, width);
        EXPECT_GE(first.top, 0);
        EXPECT_LE(last.bottom, height);
        if (c.onTheLeft) {
            EXPECT_LT(first.right, parentItem.left);
        } else {
            EXPECT_GT(first.left, parentItem.right);
        }
        if (c.upward) {
            EXPECT_EQ(last.bottom, parentItem.bottom);
        } else {
            EXPECT_EQ(first.top, parentItem.top);
        }
    }
}

}  // namespace
