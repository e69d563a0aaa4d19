// Menus from a module's RT_MENU templates: the layout read from bytes written out by hand, the
// builder's bytes read back, and damaged or missing templates.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "menu/menu_table.h"

namespace {

// A bar with one popup "P" holding "A" (id 7), a separator written as flags 0, id 0 and no text,
// and a grayed "B" (id 8) that ends the popup and the bar.
const BYTE kHandWritten[] = {
    0,    0,    0,   0,                // version, header size
    0x90, 0x00, 'P', 0, 0,   0,        // MF_POPUP | MF_END, "P"
    0x00, 0x00, 7,   0, 'A', 0, 0, 0,  // "A", id 7
    0x00, 0x00, 0,   0, 0,   0,        // a separator
    0x81, 0x00, 8,   0, 'B', 0, 0, 0,  // MF_GRAYED | MF_END, "B", id 8
};
const BYTE kCutShort[] = {0, 0, 0, 0, 0x90, 0x00, 'P', 0, 0, 0, 0x00, 0x00, 7, 0, 'A'};
const BYTE kNoEnd[] = {0, 0, 0, 0, 0x00, 0x00, 7, 0, 'A', 0, 0, 0};

std::vector<BYTE> SelfNested() {
    std::vector<BYTE> bytes = {0, 0, 0, 0};
    for (int i = 0; i < 100; ++i) {
        bytes.insert(bytes.end(), {0x90, 0x00, 'P', 0, 0, 0});
    }
    bytes.insert(bytes.end(), {0x80, 0x00, 1, 0, 'x', 0, 0, 0});
    return bytes;
}
const std::vector<BYTE> kDeep = SelfNested();

// The client's tray menu, 130, as the builder writes it.
const std::vector<BYTE> kTray = PalBuildMenuTemplate({
    {MF_POPUP,
     0,
     "tray",
     {{MF_STRING, 32775, PalGbk("显示主界面"), {}},
      {MF_STRING, 32776, PalGbk("最  小  化"), {}},
      {MF_SEPARATOR, 0, "", {}},
      {MF_STRING, 32777, PalGbk("意见反馈"), {}},
      {MF_SEPARATOR, 0, "", {}},
      {MF_STRING, 32773, PalGbk("退  出"), {}}}},
});

const PalResource kResources[] = {
    {RT_MENU, MAKEINTRESOURCEA(1), kHandWritten, sizeof(kHandWritten)},
    {RT_MENU, MAKEINTRESOURCEA(2), kCutShort, sizeof(kCutShort)},
    {RT_MENU, MAKEINTRESOURCEA(3), kNoEnd, sizeof(kNoEnd)},
    {RT_MENU, MAKEINTRESOURCEA(4), kDeep.data(), static_cast<DWORD>(kDeep.size())},
    {RT_MENU, MAKEINTRESOURCEA(130), kTray.data(), static_cast<DWORD>(kTray.size())},
};
PAL_MODULE_RESOURCES(kResources);

TEST(LoadMenuA, ReadsTheTemplateIntoABarOfPopups) {
    struct Case {
        WORD id;
        std::string popupText;
        std::vector<std::pair<UINT, std::string>> items;  // id and UTF-8 text; 0, "" a separator
    };
    const Case cases[] = {
        {1, "P", {{7, "A"}, {0, ""}, {8, "B"}}},
        {130,
         "tray",
         {{32775, "显示主界面"},
          {32776, "最  小  化"},
          {0, ""},
          {32777, "意见反馈"},
          {0, ""},
          {32773, "退  出"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        HMENU bar = LoadMenuA(nullptr, MAKEINTRESOURCEA(c.id));
        ASSERT_NE(bar, nullptr) << GetLastError();
        ASSERT_EQ(GetMenuItemCount(bar), 1);
        char text[64] = {};
        GetMenuStringA(bar, 0, text, sizeof(text), MF_BYPOSITION);
        EXPECT_EQ(std::string(text), c.popupText);
        HMENU popup = GetSubMenu(bar, 0);
        ASSERT_NE(popup, nullptr);
        ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(c.items.size()));
        for (size_t i = 0; i < c.items.size(); ++i) {
            SCOPED_TRACE(i);
            auto [id, utf8] = c.items[i];
            std::string expected = utf8.empty() ? "" : PalGbk(utf8.c_str());
            text[0] = '\0';
            GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
            EXPECT_EQ(std::string(text), expected);
            if (id != 0) {  // the item's command id names it
                text[0] = '\0';
                GetMenuStringA(popup, id, text, sizeof(text), MF_BYCOMMAND);
                EXPECT_EQ(std::string(text), expected);
            }
        }
        EXPECT_TRUE(DestroyMenu(bar));
        EXPECT_EQ(GetMenuItemCount(popup), -1);  // the popup went with its bar
    }
}

TEST(LoadMenuA, TheTemplatesStatesReachTheItems) {
    HMENU bar = LoadMenuA(nullptr, MAKEINTRESOURCEA(1));
    ASSERT_NE(bar, nullptr);
    auto popup = pal::menu::FindMenu(GetSubMenu(bar, 0));
    ASSERT_TRUE(popup);
    EXPECT_TRUE(popup->popup);
    ASSERT_EQ(popup->items.size(), 3u);
    EXPECT_EQ(popup->items[0].flags, MF_STRING);
    EXPECT_EQ(popup->items[1].flags, MF_SEPARATOR);
    EXPECT_EQ(popup->items[2].flags, MF_GRAYED);
    EXPECT_EQ(popup->items[2].id, 8u);
    DestroyMenu(bar);
}

TEST(LoadMenuA, MissingAndDamagedTemplatesFailCleanly) {
    struct Case {
        LPCSTR name;
        DWORD error;
    };
    const Case cases[] = {
        {MAKEINTRESOURCEA(131), ERROR_RESOURCE_NAME_NOT_FOUND},
        {MAKEINTRESOURCEA(2), ERROR_INVALID_DATA},  // cut inside an item
        {MAKEINTRESOURCEA(3), ERROR_INVALID_DATA},  // no item carries MF_END
        {MAKEINTRESOURCEA(4), ERROR_INVALID_DATA},  // nested deeper than any menu
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(reinterpret_cast<ULONG_PTR>(c.name));
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(LoadMenuA(nullptr, c.name), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
    HMODULE libc = GetModuleHandleA("libc.so.6");
    EXPECT_EQ(LoadMenuA(libc, MAKEINTRESOURCEA(130)), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);
}

TEST(PalBuildMenuTemplate, WritesTheStandardLayout) {
    std::vector<BYTE> bytes = PalBuildMenuTemplate(
        {{MF_POPUP,
          0,
          "P",
          {{MF_STRING, 7, "A", {}}, {MF_SEPARATOR, 0, "", {}}, {MF_GRAYED, 8, "B", {}}}}});
    std::vector<BYTE> expected(kHandWritten, kHandWritten + sizeof(kHandWritten));
    expected[18] = 0x00;  // the builder marks the separator with MF_SEPARATOR (0x0800)
    expected[19] = 0x08;
    EXPECT_EQ(bytes, expected);
    EXPECT_TRUE(PalBuildMenuTemplate({}).empty());
    EXPECT_TRUE(PalBuildMenuTemplate({{MF_POPUP, 0, "empty", {}}}).empty());
}

}  // namespace
