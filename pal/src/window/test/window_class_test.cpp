// Window classes: registering, finding by name or atom, removing; the system cursors.
#include <gtest/gtest.h>

#include "test/window_test_support.h"

namespace {

using paltest::RecordingProc;
using paltest::WindowTest;

HINSTANCE Program() {
    return GetModuleHandleA(nullptr);
}
// Another module's instance: any distinct value serves, it is only compared.
const HINSTANCE kOtherInstance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x5000));

WNDCLASSA ClassOf(const char* name, HINSTANCE instance = Program(), UINT style = 0) {
    WNDCLASSA windowClass{};
    windowClass.style = style;
    windowClass.lpfnWndProc = &RecordingProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = name;
    return windowClass;
}

HWND CreateOf(LPCSTR className, HINSTANCE instance = Program()) {
    return CreateWindowExA(0, className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                           nullptr);
}

TEST_F(WindowTest, RegisterClassA) {
    WNDCLASSA first = ClassOf("PalClassReg");
    ATOM atom = RegisterClassA(&first);
    EXPECT_GE(atom, 0xC000);

    WNDCLASSA noProcedure = ClassOf("PalClassNoProc");
    noProcedure.lpfnWndProc = nullptr;
    WNDCLASSA noName = ClassOf(nullptr);
    WNDCLASSA emptyName = ClassOf("");
    WNDCLASSA atomName = ClassOf(MAKEINTATOM(5));
    WNDCLASSA sameName = ClassOf("palclassREG");               // names ignore ASCII case
    WNDCLASSA nullInstance = ClassOf("PalClassReg", nullptr);  // NULL is the program
    const struct {
        const char* name;
        const WNDCLASSA* windowClass;
        DWORD error;
    } refused[] = {
        {"no class", nullptr, ERROR_INVALID_PARAMETER},
        {"no procedure", &noProcedure, ERROR_INVALID_PARAMETER},
        {"no name", &noName, ERROR_INVALID_PARAMETER},
        {"empty name", &emptyName, ERROR_INVALID_PARAMETER},
        {"atom as name", &atomName, ERROR_INVALID_PARAMETER},
        {"same name", &sameName, ERROR_CLASS_ALREADY_EXISTS},
        {"same name, NULL instance", &nullInstance, ERROR_CLASS_ALREADY_EXISTS},
    };
    for (const auto& c : refused) {
        SetLastError(0);
        EXPECT_EQ(RegisterClassA(c.windowClass), 0) << c.name;
        EXPECT_EQ(GetLastError(), c.error) << c.name;
    }
    // Another module may use the name.
    WNDCLASSA otherModule = ClassOf("PalClassReg", kOtherInstance);
    ATOM other = RegisterClassA(&otherModule);
    EXPECT_NE(other, 0);
    EXPECT_NE(other, atom);
    EXPECT_TRUE(UnregisterClassA("PalClassReg", Program()));
    EXPECT_TRUE(UnregisterClassA("PalClassReg", kOtherInstance));
}

TEST_F(WindowTest, RegisterClassExA) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = &RecordingProc;
    windowClass.hInstance = Program();
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = "PalClassEx";
    WNDCLASSEXA wrongSize = windowClass;
    wrongSize.cbSize = sizeof(WNDCLASSA);
    SetLastError(0);
    EXPECT_EQ(RegisterClassExA(&wrongSize), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegisterClassExA(nullptr), 0);
    ATOM atom = RegisterClassExA(&windowClass);
    ASSERT_NE(atom, 0);
    HWND hwnd = CreateOf("PalClassEx");
    ASSERT_NE(hwnd, nullptr);
    // The brush is kept: the default erase reports the background as erased.
    EXPECT_EQ(DefWindowProcA(hwnd, WM_ERASEBKGND, 0, 0), 1);
    DestroyWindow(hwnd);
    EXPECT_TRUE(UnregisterClassA(MAKEINTATOM(atom), Program()));
}

TEST_F(WindowTest, CreateWindowExAFindsTheClassByNameOrAtomForItsInstance) {
    WNDCLASSA local = ClassOf("PalClassFind");
    WNDCLASSA global = ClassOf("PalClassGlobal", kOtherInstance, CS_GLOBALCLASS);
    ATOM localAtom = RegisterClassA(&local);
    ASSERT_NE(localAtom, 0);
    ASSERT_NE(RegisterClassA(&global), 0);
    const struct {
        LPCSTR className;
        HINSTANCE instance;
        bool found;
    } cases[] = {
        {"PalClassFind", Program(), true},
        {"PALCLASSFIND", Program(), true},
        {"PalClassFind", nullptr, true},  // NULL is the program
        {MAKEINTATOM(localAtom), Program(), true},
        {"PalClassFind", kOtherInstance, false},  // registered for the program only
        {"PalClassGlobal", Program(), true},      // a global class serves every module
        {MAKEINTATOM(localAtom + 100), Program(), false},
        {"PalClassFin", Program(), false},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        HWND hwnd = CreateOf(c.className, c.instance);
        EXPECT_EQ(hwnd != nullptr, c.found) << reinterpret_cast<uintptr_t>(c.className);
        if (hwnd) {
            DestroyWindow(hwnd);
        } else {
            EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
        }
    }
    EXPECT_TRUE(UnregisterClassA("PalClassFind", Program()));
    EXPECT_TRUE(UnregisterClassA("PalClassGlobal", kOtherInstance));
}

TEST_F(WindowTest, UnregisterClassA) {
    WNDCLASSA windowClass = ClassOf("PalClassGone");
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    HWND hwnd = CreateOf("PalClassGone");
    ASSERT_NE(hwnd, nullptr);
    SetLastError(0);
    EXPECT_FALSE(UnregisterClassA("PalClassGone", Program()));
    EXPECT_EQ(GetLastError(), ERROR_CLASS_HAS_WINDOWS);
    DestroyWindow(hwnd);
    const struct {
        LPCSTR name;
        HINSTANCE instance;
    } unknown[] = {
        {"PalClassGone", kOtherInstance}, {"NoSuchClass", Program()}, {nullptr, nullptr}};
    for (const auto& c : unknown) {
        SetLastError(0);
        EXPECT_FALSE(UnregisterClassA(c.name, c.instance));
        EXPECT_EQ(GetLastError(), ERROR_CLASS_DOES_NOT_EXIST);
    }
    EXPECT_TRUE(UnregisterClassA("palclassgone", nullptr));
    EXPECT_FALSE(UnregisterClassA("PalClassGone", Program()));
    EXPECT_EQ(CreateOf("PalClassGone"), nullptr);
    // The name can be registered again.
    EXPECT_NE(RegisterClassA(&windowClass), 0);
    EXPECT_TRUE(UnregisterClassA("PalClassGone", Program()));
}

TEST(LoadCursorA, SystemCursorsOnly) {
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    EXPECT_NE(arrow, nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
    EXPECT_NE(LoadCursorA(nullptr, MAKEINTRESOURCEA(32513)), arrow);
    const struct {
        HINSTANCE instance;
        LPCSTR name;
    } missing[] = {{nullptr, MAKEINTRESOURCEA(1)}, {nullptr, "arrow"}, {Program(), IDC_ARROW}};
    for (const auto& c : missing) {
        SetLastError(0);
        EXPECT_EQ(LoadCursorA(c.instance, c.name), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    }
}

}  // namespace
