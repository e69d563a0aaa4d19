// Resources: the lookup and its errors, strings with their truncation, icons, dialogs by name,
// and a library's table registered while it is loaded.
#include <gtest/gtest.h>

#include <cstring>

#include "dialog/test/dialog_test_support.h"
#include "test/png_writer.h"
#include "test_root.h"

namespace {

using paltest::DialogTest;

const char kHello[] = "Hello";
const std::string kChinese = PalGbk("关于 BRDJ");  // two-byte characters, then ASCII
const char kNamed[] = "named";
const std::vector<BYTE> kBox = [] {
    PalDialogDescription box = paltest::OkCancelBox();
    PalDialogItem icon = paltest::Item("STATIC", 300, SS_ICON, 14, 14, 21, 20);
    icon.textOrdinal = 128;
    box.items.push_back(icon);
    return PalBuildDialogTemplate(box);
}();
const BYTE kDamaged[] = {1, 0, 0xFF, 0xFF, 0};

const PalResource kResources[] = {
    {RT_STRING, MAKEINTRESOURCEA(1), kHello, sizeof(kHello) - 1},
    {RT_STRING, MAKEINTRESOURCEA(2), kChinese.data(), static_cast<DWORD>(kChinese.size())},
    {RT_VERSION, "Named", kNamed, sizeof(kNamed)},
    {RT_DIALOG, MAKEINTRESOURCEA(100), kBox.data(), static_cast<DWORD>(kBox.size())},
    {RT_DIALOG, MAKEINTRESOURCEA(101), kDamaged, sizeof(kDamaged)},
};
PAL_MODULE_RESOURCES(kResources);

TEST(FindResourceA, FindsByModuleTypeAndNameWithWindowsErrors) {
    HMODULE libc = GetModuleHandleA("libc.so.6");
    struct Case {
        const char* name;
        HMODULE module;
        LPCSTR resource;
        LPCSTR type;
        const void* data;  // null: not found
        DWORD error;
    };
    const Case cases[] = {
        {"an id of the program", nullptr, MAKEINTRESOURCEA(1), RT_STRING, kHello, 0},
        {"the program by its handle", GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), RT_STRING,
         kHello, 0},
        {"an id written as \"#1\"", nullptr, "#1", RT_STRING, kHello, 0},
        {"a text name, another case", nullptr, "NAMED", RT_VERSION, kNamed, 0},
        {"a type given as \"#16\"", nullptr, "named", "#16", kNamed, 0},
        {"a name the type does not have", nullptr, MAKEINTRESOURCEA(3), RT_STRING, nullptr,
         ERROR_RESOURCE_NAME_NOT_FOUND},
        {"a type the module does not have", nullptr, MAKEINTRESOURCEA(1), "NO SUCH TYPE", nullptr,
         ERROR_RESOURCE_TYPE_NOT_FOUND},
        {"a module without resources", libc, MAKEINTRESOURCEA(1), RT_STRING, nullptr,
         ERROR_RESOURCE_DATA_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(ERROR_SUCCESS);
        HRSRC found = FindResourceA(c.module, c.resource, c.type);
        if (!c.data) {
            EXPECT_EQ(found, nullptr);
            EXPECT_EQ(GetLastError(), c.error);
            continue;
        }
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(LockResource(LoadResource(c.module, found)), c.data);
    }
    HRSRC hello = FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_STRING);
    EXPECT_EQ(SizeofResource(nullptr, hello), 5u);
    HRSRC bogus = reinterpret_cast<HRSRC>(const_cast<char*>(kHello));
    EXPECT_EQ(SizeofResource(nullptr, bogus), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(LoadResource(nullptr, bogus), nullptr);
}

TEST(LoadStringA, CopiesWhatFitsWithoutSplittingACharacter) {
    struct Case {
        UINT id;
        int room;
        int copied;
        std::string text;
    };
    const std::string guan = kChinese.substr(0, 2), guanYu = kChinese.substr(0, 4);
    const Case cases[] = {
        {1, 6, 5, "Hello"},    {1, 100, 5, "Hello"},    {1, 5, 4, "Hell"}, {1, 1, 0, ""},
        {2, 100, 9, kChinese}, {2, 2, 0, ""},           {2, 3, 2, guan},   {2, 4, 2, guan},
        {2, 5, 4, guanYu},     {2, 6, 5, guanYu + " "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.id) + " into " + std::to_string(c.room));
        char buffer[128];
        std::memset(buffer, 'x', sizeof(buffer));
        EXPECT_EQ(LoadStringA(nullptr, c.id, buffer, c.room), c.copied);
        EXPECT_EQ(std::string(buffer), c.text);
    }
    char buffer[8] = "junk";
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(LoadStringA(nullptr, 1522, buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "");  // the tray's tip of a string that is not there
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(LoadStringA(nullptr, 1, buffer, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(LoadStringA(nullptr, 1, nullptr, 8), 0);
}

TEST(PalRegisterResources, ALibraryCarriesItsResourcesWhileLoaded) {
    HMODULE library = LoadLibraryA("PalResource.dll");
    ASSERT_NE(library, nullptr) << GetLastError();
    char buffer[64];
    EXPECT_EQ(LoadStringA(library, 1, buffer, sizeof(buffer)), 16);
    EXPECT_STREQ(buffer, "from the library");
    EXPECT_EQ(LoadStringA(nullptr, 1, buffer, sizeof(buffer)), 5);  // the program's own
    ASSERT_TRUE(FreeLibrary(library));
    EXPECT_EQ(FindResourceA(library, MAKEINTRESOURCEA(1), RT_STRING), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);
}

TEST(PalRegisterResources, RefusesWhatIsNoTableOfAModule) {
    EXPECT_FALSE(PalRegisterResources(nullptr, 1));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(PalRegisterResources(kResources, 1));  // registered at load already
    PalResource notRegistered[1] = {};
    auto* heap = new PalResource[1]();
    EXPECT_FALSE(PalRegisterResources(heap, 1));  // no module holds the heap
    delete[] heap;
    EXPECT_FALSE(PalUnregisterResources(notRegistered));
}

class IconResources : public DialogTest {
protected:
    IconResources() {
        pal::test::PngSpec spec;
        spec.width = 24;
        spec.height = 16;
        spec.colorType = 6;  // RGBA
        spec.samples.assign(24 * 16 * 4, 0xC0);
        std::vector<uint8_t> png = pal::test::WritePng(spec);
        path_ = root_.Path() + "/icon.png";
        brtest::WriteFile(path_, std::string(png.begin(), png.end()));
        damaged_ = root_.Path() + "/damaged.png";
        brtest::WriteFile(damaged_, "not a png");
        table_[0] = {RT_GROUP_ICON, MAKEINTRESOURCEA(128), path_.c_str(),
                     static_cast<DWORD>(path_.size())};
        table_[1] = {RT_GROUP_ICON, MAKEINTRESOURCEA(129), "no-such-icon.png", 16};
        table_[2] = {RT_GROUP_ICON, MAKEINTRESOURCEA(130), damaged_.c_str(),
                     static_cast<DWORD>(damaged_.size())};
        folder_ = root_.Path();
        table_[3] = {RT_GROUP_ICON, MAKEINTRESOURCEA(131), folder_.c_str(),
                     static_cast<DWORD>(folder_.size())};
        EXPECT_TRUE(PalRegisterResources(table_, 4));
    }
    ~IconResources() override { PalUnregisterResources(table_); }

    std::string path_, damaged_, folder_;
    static inline PalResource table_[4];  // in the program's module
};

TEST_F(IconResources, AnIconGroupLoadsItsImageOnce) {
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(128));
    ASSERT_NE(icon, nullptr) << GetLastError();
    EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128)), icon);
    int cx = 0, cy = 0;
    ASSERT_TRUE(PalGetIconSize(icon, &cx, &cy));
    EXPECT_EQ(cx, 24);
    EXPECT_EQ(cy, 16);
    struct Case {
        WORD id;
        DWORD error;
    };
    for (const Case& c : {Case{127, ERROR_RESOURCE_NAME_NOT_FOUND}, Case{129, ERROR_FILE_NOT_FOUND},
                          Case{130, ERROR_INVALID_DATA}, Case{131, ERROR_FILE_NOT_FOUND}}) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(c.id)), nullptr) << c.id;
        EXPECT_EQ(GetLastError(), c.error) << c.id;
    }
}

TEST_F(IconResources, DialogsComeFromTheModulesTemplatesWithTheirIcons) {
    HWND dlg = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(100), nullptr,
                                  &paltest::RecordingDialogProc, 0);
    ASSERT_NE(dlg, nullptr) << GetLastError();
    HWND icon = GetDlgItem(dlg, 300);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0)),
              LoadIconA(nullptr, MAKEINTRESOURCEA(128)));
    RECT rect;
    GetClientRect(icon, &rect);
    EXPECT_EQ(rect.right, 24);  // sized to its icon
    EXPECT_EQ(rect.bottom, 16);
    DestroyWindow(dlg);

    // The modal one, ended from inside.
    paltest::CurrentDialogReaction() = [](HWND d, UINT message, WPARAM,
                                          LPARAM) -> std::optional<INT_PTR> {
        if (message == WM_INITDIALOG) {
            EndDialog(d, 9);
            return TRUE;
        }
        return std::nullopt;
    };
    EXPECT_EQ(
        DialogBoxParamA(nullptr, MAKEINTRESOURCEA(100), nullptr, &paltest::RecordingDialogProc, 0),
        9);
    struct Case {
        WORD id;
        DWORD error;
    };
    for (const Case& c :
         {Case{102, ERROR_RESOURCE_NAME_NOT_FOUND}, Case{101, ERROR_INVALID_DATA}}) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(c.id), nullptr,
                                  &paltest::RecordingDialogProc, 0),
                  -1);
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(c.id), nullptr,
                                     &paltest::RecordingDialogProc, 0),
                  nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
}

}  // namespace
