// Dialogs: creation order, failures, the dialog manager's Enter and Escape (with and without a
// filter in front of it), the modal loop and its endings, the dialog's WM_CLOSE, dialog units,
// the built-in controls.
#include <gtest/gtest.h>

#include "dialog/dialog_units.h"
#include "dialog/test/dialog_test_support.h"
#include "image/png_decoder.h"
#include "test_root.h"

namespace {

using paltest::AsTemplate;
using paltest::CentreOf;
using paltest::CurrentDialogReaction;
using paltest::CurrentReaction;
using paltest::DialogTest;
using paltest::Item;
using paltest::LastSeen;
using paltest::Log;
using paltest::MessagesAmong;
using paltest::OkCancelBox;
using paltest::PumpDialog;
using paltest::RecordingDialogProc;
using paltest::TestClass;

HWND CreateBox(const PalDialogDescription& box, HWND parent = nullptr, LPARAM param = 0) {
    std::vector<BYTE> bytes = PalBuildDialogTemplate(box);
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), AsTemplate(bytes), parent,
                                      &RecordingDialogProc, param);
}

INT_PTR RunBox(const PalDialogDescription& box, HWND parent = nullptr) {
    std::vector<BYTE> bytes = PalBuildDialogTemplate(box);
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), AsTemplate(bytes), parent,
                                   &RecordingDialogProc, 0);
}

// A place and size in the dialog's units, in pixels: the size is converted on its own.
RECT Place(HWND dlg, int x, int y, int cx, int cy) {
    RECT r{x, y, cx, cy};
    EXPECT_TRUE(MapDialogRect(dlg, &r));
    return RECT{r.left, r.top, r.left + r.right, r.top + r.bottom};
}

// The commands the dialog procedure saw: (id, the control's window).
std::vector<std::pair<int, HWND>> Commands(HWND dlg) {
    std::vector<std::pair<int, HWND>> commands;
    for (const paltest::Seen& seen : Log().All()) {
        if (seen.hwnd == dlg && seen.message == WM_COMMAND) {
            EXPECT_EQ(HIWORD(seen.wParam), BN_CLICKED);
            commands.emplace_back(LOWORD(seen.wParam), reinterpret_cast<HWND>(seen.lParam));
        }
    }
    return commands;
}

TEST_F(DialogTest, CreationSendsTheFontThenMakesTheControlsThenInitialises) {
    HWND dlg = CreateBox(OkCancelBox(), nullptr, 77);
    ASSERT_NE(dlg, nullptr) << GetLastError();
    HWND text = GetDlgItem(dlg, 100), ok = GetDlgItem(dlg, IDOK),
         cancel = GetDlgItem(dlg, IDCANCEL);
    ASSERT_TRUE(text && ok && cancel);
    EXPECT_EQ(MessagesAmong(dlg, {WM_SETFONT, WM_INITDIALOG}),
              (std::vector<UINT>{WM_SETFONT, WM_INITDIALOG}));
    // wParam: the first visible, enabled tab stop; lParam: the caller's value.
    EXPECT_EQ(LastSeen(dlg, WM_INITDIALOG).wParam, reinterpret_cast<WPARAM>(ok));
    EXPECT_EQ(LastSeen(dlg, WM_INITDIALOG).lParam, 77);
    // The dialog's font went to the controls as well.
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dlg, WM_GETFONT, 0, 0));
    EXPECT_NE(font, nullptr);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(ok, WM_GETFONT, 0, 0)), font);
    // The controls are the dialog's children with their ids and texts, in template order.
    EXPECT_EQ(GetDlgCtrlID(cancel), IDCANCEL);
    EXPECT_EQ(GetParent(ok), dlg);
    EXPECT_EQ(GetWindow(dlg, GW_CHILD), text);
    EXPECT_EQ(GetWindow(text, GW_HWNDNEXT), ok);
    char title[16] = {};
    GetWindowTextA(ok, title, sizeof(title));
    EXPECT_STREQ(title, "OK");
    // WM_INITDIALOG returned TRUE: the dialog shows, with the focus on that control.
    EXPECT_TRUE(IsWindowVisible(dlg));
    EXPECT_EQ(GetActiveWindow(), dlg);
    EXPECT_EQ(GetFocus(), ok);
    DestroyWindow(dlg);
    EXPECT_FALSE(IsWindow(ok));
    EXPECT_FALSE(EndDialog(dlg, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(DialogTest, AModelessDialogWithoutWsVisibleStaysHidden) {
    HWND dlg = CreateBox(OkCancelBox(WS_POPUP));
    ASSERT_NE(dlg, nullptr);
    EXPECT_FALSE(IsWindowVisible(dlg));
    EXPECT_NE(GetActiveWindow(), dlg);
    DestroyWindow(dlg);
}

HWND CALLBACK FailingFactory(const PalHostedControlRequest*) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

TEST_F(DialogTest, ADialogThatCannotBeMadeFailsAsWindowsFails) {
    TestClass ownerClass;
    HWND gone = ownerClass.Create();
    DestroyWindow(gone);
    struct Case {
        const char* name;
        const char* controlClass;
        PalHostedControlFactory factory;
        HWND parent;
        bool damaged;
        DWORD error;
    };
    const Case cases[] = {
        {"a control of an unknown class", "NoSuchClass", nullptr, nullptr, false,
         ERROR_CANNOT_FIND_WND_CLASS},
        {"a hosted control without a factory", "{D27CDB6E-AE6D-11CF-96B8-444553540000}", nullptr,
         nullptr, false, ERROR_CANNOT_FIND_WND_CLASS},
        {"a hosted control whose factory fails", "{D27CDB6E-AE6D-11CF-96B8-444553540000}",
         &FailingFactory, nullptr, false, ERROR_MOD_NOT_FOUND},
        {"an owner that is no window", "BUTTON", nullptr, gone, false, ERROR_INVALID_WINDOW_HANDLE},
        {"a template that is no DIALOGEX", "BUTTON", nullptr, nullptr, true,
         ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PalDialogDescription box = OkCancelBox();
        box.title = "Failing";
        box.items.push_back(Item(c.controlClass, 1000, 0, 7, 7, 50, 20));
        std::vector<BYTE> bytes = PalBuildDialogTemplate(box);
        if (c.damaged) {
            bytes[2] = 0;  // the signature of a DIALOGEX
        }
        PalSetHostedControlFactory(c.factory);
        Log().Clear();
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(CreateDialogIndirectParamA(nullptr, AsTemplate(bytes), c.parent,
                                             &RecordingDialogProc, 0),
                  nullptr);
        EXPECT_EQ(GetLastError(), c.error);
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(
            DialogBoxIndirectParamA(nullptr, AsTemplate(bytes), c.parent, &RecordingDialogProc, 0),
            -1);
        EXPECT_EQ(GetLastError(), c.error);
        // The dialog procedure never got to initialise, and no dialog is left behind.
        EXPECT_EQ(MessagesAmong(nullptr, {WM_INITDIALOG}), std::vector<UINT>{});
        EXPECT_EQ(FindWindowA("#32770", "Failing"), nullptr);
    }
    PalSetHostedControlFactory(nullptr);
    EXPECT_EQ(CreateDialogIndirectParamA(nullptr, nullptr, nullptr, &RecordingDialogProc, 0),
              nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

struct HostedSeen {
    PalHostedControlRequest request;
    std::vector<BYTE> data;
    std::string classId;
    HWND made;
};
HostedSeen g_hosted;
const TestClass* g_hostedClass;

HWND CALLBACK RecordingFactory(const PalHostedControlRequest* request) {
    g_hosted.request = *request;
    g_hosted.classId = request->classId;
    g_hosted.data.assign(request->data, request->data + request->dataSize);
    const RECT& r = request->rect;
    g_hosted.made = CreateWindowExA(0, g_hostedClass->Name(), "", request->style, r.left, r.top,
                                    r.right - r.left, r.bottom - r.top, request->dialog,
                                    reinterpret_cast<HMENU>(static_cast<intptr_t>(request->id)),
                                    request->instance, nullptr);
    return g_hosted.made;
}

TEST_F(DialogTest, AHostedControlIsMadeByTheFactoryWithItsInitialisationData) {
    TestClass controlClass;
    g_hostedClass = &controlClass;
    PalDialogDescription box = OkCancelBox();
    PalDialogItem flash =
        Item("{D27CDB6E-AE6D-11CF-96B8-444553540000}", 1000, WS_TABSTOP, 7, 7, 560, 345);
    flash.data = {0x00, 0x00, 0x67, 0x55, 0x66, 0x55};
    box.items = {flash};
    PalSetHostedControlFactory(&RecordingFactory);
    HWND dlg = CreateBox(box);
    PalSetHostedControlFactory(nullptr);
    ASSERT_NE(dlg, nullptr) << GetLastError();
    EXPECT_EQ(GetDlgItem(dlg, 1000), g_hosted.made);
    EXPECT_EQ(g_hosted.request.dialog, dlg);
    EXPECT_EQ(g_hosted.classId, "{D27CDB6E-AE6D-11CF-96B8-444553540000}");
    EXPECT_EQ(g_hosted.data, flash.data);
    EXPECT_EQ(g_hosted.request.style, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    EXPECT_TRUE(paltest::SameRect(g_hosted.request.rect, Place(dlg, 7, 7, 560, 345)));
    // It is the first tab stop: WM_INITDIALOG offers it the focus.
    EXPECT_EQ(LastSeen(dlg, WM_INITDIALOG).wParam, reinterpret_cast<WPARAM>(g_hosted.made));
    EXPECT_EQ(GetFocus(), g_hosted.made);
    DestroyWindow(dlg);
}

TEST_F(DialogTest, DialogUnitsComeFromTheDialogFont) {
    HWND dlg = CreateBox(OkCancelBox());
    ASSERT_NE(dlg, nullptr);
    // The base units measured as they are defined: the 9-point font (12 pixels) and its letters.
    HFONT font =
        CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Shell Dlg");
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, font);
    SIZE letters;
    GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    DeleteDC(dc);
    DeleteObject(font);
    const int avgWidth = (letters.cx + 26) / 52;
    RECT base{0, 0, 4, 8};
    ASSERT_TRUE(MapDialogRect(dlg, &base));
    EXPECT_EQ(base.right, avgWidth);
    EXPECT_EQ(base.bottom, letters.cy);
    // The dialog's size and the controls' places are the template's, in those units.
    RECT window;
    GetWindowRect(dlg, &window);
    EXPECT_TRUE(paltest::SameRect(window, Place(dlg, 10, 10, 170, 62)));  // no owner: the screen
    RECT cancel;
    GetWindowRect(GetDlgItem(dlg, IDCANCEL), &cancel);
    RECT want = Place(dlg, 113, 41, 50, 14);
    EXPECT_EQ(cancel.left - window.left, want.left);
    EXPECT_EQ(cancel.top - window.top, want.top);
    EXPECT_EQ(cancel.right - cancel.left, want.right - want.left);
    EXPECT_EQ(cancel.bottom - cancel.top, want.bottom - want.top);
    DestroyWindow(dlg);

    TestClass plain;
    HWND notDialog = plain.Create();
    RECT r{0, 0, 4, 8};
    EXPECT_FALSE(MapDialogRect(notDialog, &r));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    DestroyWindow(notDialog);
}

TEST(DialogUnits, ConversionRoundsHalvesAwayFromZero) {
    struct Case {
        int value, base, divisor, pixels;
    };
    const Case cases[] = {{5, 6, 4, 8},     {1, 6, 4, 2},      {-5, 6, 4, -8}, {3, 13, 8, 5},
                          {574, 6, 4, 861}, {359, 12, 8, 539}, {0, 7, 4, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(pal::dialog::Scale(c.value, c.base, c.divisor), c.pixels)
            << c.value << " * " << c.base << " / " << c.divisor;
    }
}

// The keys of the dialog manager, pressed on the focus window and pumped as a modeless dialog's
// owner pumps them.
TEST_F(DialogTest, EnterAndEscapeBecomeCommandsUnlessAFilterOrTheControlTakesThem) {
    TestClass editClass;
    enum Focus { kEdit, kCancelButton };
    struct Case {
        const char* name;
        UINT key;
        Focus focus;
        WORD defaultId;    // DM_SETDEFID, 0 for none
        bool filter;       // a PreTranslateMessage that swallows Enter and Escape
        bool wantAllKeys;  // the focus control's WM_GETDLGCODE
        int command;       // 0: none
        bool keyReachesFocus;
    };
    const Case cases[] = {
        {"Enter gives the default button's command", VK_RETURN, kEdit, 0, false, false, IDOK,
         false},
        {"Enter follows DM_SETDEFID", VK_RETURN, kEdit, IDCANCEL, false, false, IDCANCEL, false},
        {"Enter on a push button clicks that button", VK_RETURN, kCancelButton, 0, false, false,
         IDCANCEL, false},
        {"Escape gives IDCANCEL", VK_ESCAPE, kEdit, 0, false, false, IDCANCEL, false},
        {"a filter takes Enter first", VK_RETURN, kEdit, 0, true, false, 0, false},
        {"a filter takes Escape first", VK_ESCAPE, kEdit, 0, true, false, 0, false},
        {"a control that wants every key gets Enter", VK_RETURN, kEdit, 0, false, true, 0, true},
        {"a control that wants every key gets Escape", VK_ESCAPE, kEdit, 0, false, true, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PalDialogDescription box = OkCancelBox();
        box.items.push_back(Item(editClass.Name(), 200, WS_TABSTOP, 7, 30, 50, 10));
        HWND dlg = CreateBox(box);
        ASSERT_NE(dlg, nullptr);
        HWND edit = GetDlgItem(dlg, 200);
        CurrentDialogReaction() = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<INT_PTR> {
            return message == WM_INITDIALOG || message == WM_COMMAND ? std::optional<INT_PTR>(TRUE)
                                                                     : std::nullopt;
        };
        CurrentReaction() = [&](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (hwnd == edit && message == WM_GETDLGCODE) {
                return c.wantAllKeys ? DLGC_WANTALLKEYS : 0;
            }
            return std::nullopt;
        };
        if (c.defaultId) {
            SendMessageA(dlg, DM_SETDEFID, c.defaultId, 0);
        }
        SetFocus(c.focus == kEdit ? edit : GetDlgItem(dlg, IDCANCEL));
        Log().Clear();
        PalInputKey(c.key, TRUE);
        PalInputKey(c.key, FALSE);
        PumpDialog(dlg, [&](MSG& msg) {
            return c.filter && msg.message == WM_KEYDOWN &&
                   (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE);
        });
        std::vector<std::pair<int, HWND>> want;
        if (c.command) {
            want.emplace_back(c.command, GetDlgItem(dlg, c.command));
        }
        EXPECT_EQ(Commands(dlg), want);
        EXPECT_EQ(LastSeen(edit, WM_KEYDOWN).message == WM_KEYDOWN, c.keyReachesFocus);
        EXPECT_TRUE(IsWindow(dlg));
        CurrentReaction() = nullptr;
        CurrentDialogReaction() = nullptr;
        DestroyWindow(dlg);
    }
}

TEST_F(DialogTest, TheDialogManagerLeavesOtherWindowsMessagesAlone) {
    TestClass other;
    HWND dlg = CreateBox(OkCancelBox());
    HWND stranger = other.Create(WS_POPUP);
    ASSERT_TRUE(dlg && stranger);
    Log().Clear();
    MSG msg{stranger, WM_USER, 0, 0, 0, {0, 0}};
    EXPECT_FALSE(IsDialogMessageA(dlg, &msg));
    EXPECT_EQ(Log().Messages(stranger), std::vector<UINT>{});  // not dispatched
    MSG mine{GetDlgItem(dlg, IDOK), WM_USER, 0, 0, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageA(dlg, &mine));
    EXPECT_FALSE(IsDialogMessageA(stranger, nullptr));
    DestroyWindow(stranger);
    DestroyWindow(dlg);
}

TEST_F(DialogTest, CloseBecomesCancelUnlessTheCancelButtonIsDisabled) {
    for (bool disabled : {false, true}) {
        SCOPED_TRACE(disabled ? "disabled" : "enabled");
        HWND dlg = CreateBox(OkCancelBox());
        ASSERT_NE(dlg, nullptr);
        HWND cancel = GetDlgItem(dlg, IDCANCEL);
        EnableWindow(cancel, !disabled);
        CurrentDialogReaction() = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<INT_PTR> {
            return message == WM_INITDIALOG || message == WM_COMMAND ? std::optional<INT_PTR>(TRUE)
                                                                     : std::nullopt;
        };
        Log().Clear();
        SendMessageA(dlg, WM_CLOSE, 0, 0);
        EXPECT_TRUE(IsWindow(dlg));  // the default handling does not destroy a dialog
        PumpDialog(dlg);
        std::vector<std::pair<int, HWND>> want;
        if (!disabled) {
            want.emplace_back(IDCANCEL, cancel);
        }
        EXPECT_EQ(Commands(dlg), want);
        CurrentDialogReaction() = nullptr;
        DestroyWindow(dlg);
    }
}

// A modal run driven from inside: once the loop runs, the dialog procedure's WM_USER does what
// the case says.
TEST_F(DialogTest, TheModalLoopEndsWithTheResultOfWhatEndedIt) {
    TestClass ownerClass;
    HWND owner = ownerClass.Create(WS_POPUP | WS_VISIBLE);
    ASSERT_NE(owner, nullptr);
    struct Case {
        const char* name;
        std::function<void(HWND)> act;
        INT_PTR result;
    };
    const Case cases[] = {
        {"Enter", [](HWND) { PalInputKey(VK_RETURN, TRUE); }, IDOK},
        {"Escape", [](HWND) { PalInputKey(VK_ESCAPE, TRUE); }, IDCANCEL},
        {"a click on OK",
         [](HWND dlg) {
             POINT at = CentreOf(GetDlgItem(dlg, IDOK));
             PalInputButton(VK_LBUTTON, TRUE, at.x, at.y);
             PalInputButton(VK_LBUTTON, FALSE, at.x, at.y);
         },
         IDOK},
        {"WM_CLOSE", [](HWND dlg) { PostMessageA(dlg, WM_CLOSE, 0, 0); }, IDCANCEL},
        {"EndDialog", [](HWND dlg) { EndDialog(dlg, 42); }, 42},
        {"DestroyWindow without EndDialog", [](HWND dlg) { DestroyWindow(dlg); }, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND seenDialog = nullptr;
        bool ownerEnabledInside = true;
        CurrentDialogReaction() = [&](HWND dlg, UINT message, WPARAM wParam,
                                      LPARAM) -> std::optional<INT_PTR> {
            if (message == WM_INITDIALOG) {
                PostMessageA(dlg, WM_USER, 0, 0);
                return TRUE;
            }
            if (message == WM_USER) {
                seenDialog = dlg;
                ownerEnabledInside = IsWindowEnabled(owner);
                c.act(dlg);
                return TRUE;
            }
            if (message == WM_COMMAND) {
                EndDialog(dlg, LOWORD(wParam));
                return TRUE;
            }
            return std::nullopt;
        };
        EXPECT_EQ(RunBox(OkCancelBox(WS_POPUP), owner), c.result);
        ASSERT_NE(seenDialog, nullptr);
        EXPECT_FALSE(ownerEnabledInside);
        EXPECT_TRUE(IsWindowEnabled(owner));
        EXPECT_FALSE(IsWindow(seenDialog));
        PalInputKey(VK_RETURN, FALSE);
        PalInputKey(VK_ESCAPE, FALSE);
        paltest::PumpAll();
    }
    DestroyWindow(owner);
}

TEST_F(DialogTest, AQuitEndsTheModalLoopAndIsPostedAgain) {
    CurrentDialogReaction() = [](HWND dlg, UINT message, WPARAM, LPARAM) -> std::optional<INT_PTR> {
        if (message == WM_INITDIALOG) {
            PostMessageA(dlg, WM_USER, 0, 0);
            return TRUE;
        }
        if (message == WM_USER) {
            PostQuitMessage(5);
            return TRUE;
        }
        return std::nullopt;
    };
    EXPECT_EQ(RunBox(OkCancelBox()), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(DialogTest, APushButtonClicksOnlyWhenReleasedOverIt) {
    HWND dlg = CreateBox(OkCancelBox());
    ASSERT_NE(dlg, nullptr);
    CurrentDialogReaction() = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<INT_PTR> {
        return message == WM_COMMAND ? std::optional<INT_PTR>(TRUE) : std::nullopt;
    };
    HWND ok = GetDlgItem(dlg, IDOK);
    POINT at = CentreOf(ok);
    RECT rect;
    GetWindowRect(ok, &rect);
    Log().Clear();
    PalInputButton(VK_LBUTTON, TRUE, at.x, at.y);
    PumpDialog(dlg);
    EXPECT_EQ(GetCapture(), ok);
    PalInputButton(VK_LBUTTON, FALSE, rect.right + 5, at.y);  // released beside it
    PumpDialog(dlg);
    EXPECT_EQ(Commands(dlg), (std::vector<std::pair<int, HWND>>{}));
    EXPECT_EQ(GetCapture(), nullptr);
    PalInputButton(VK_LBUTTON, TRUE, at.x, at.y);
    PalInputButton(VK_LBUTTON, FALSE, at.x, at.y);
    PumpDialog(dlg);
    EXPECT_EQ(Commands(dlg), (std::vector<std::pair<int, HWND>>{{IDOK, ok}}));
    // A control id the dialog does not have.
    EXPECT_EQ(GetDlgItem(dlg, 4711), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_CONTROL_ID_NOT_FOUND);
    EXPECT_EQ(SendDlgItemMessageA(dlg, 4711, WM_GETDLGCODE, 0, 0), 0);
    EXPECT_EQ(SendDlgItemMessageA(dlg, IDOK, WM_GETDLGCODE, 0, 0),
              static_cast<LRESULT>(DLGC_BUTTON | DLGC_DEFPUSHBUTTON));
    DestroyWindow(dlg);
}

uint32_t PixelAt(const pal::DecodedImage& image, POINT p) {
    return image.pixels[static_cast<size_t>(p.y) * image.width + p.x] & 0xFFFFFFu;
}

uint32_t FaceRgb() {
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    return (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
}

// The window's pixels once everything is painted.
pal::DecodedImage Painted(HWND hwnd, const std::string& folder) {
    paltest::PaintAll();
    std::string png = folder + "/window.png";
    EXPECT_TRUE(PalSaveWindowPngA(hwnd, png.c_str()));
    pal::DecodedImage image;
    EXPECT_TRUE(pal::DecodePngFile(png, &image));
    return image;
}

// The pixels of the rectangle that are not the face colour.
int Marked(const pal::DecodedImage& image, RECT r) {
    int marked = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) marked += PixelAt(image, POINT{x, y}) != FaceRgb();
    }
    return marked;
}

// The built-in classes are the system's: they make top-level windows as well, whose pixels the
// test can read.
TEST_F(DialogTest, TheDialogAndTheBuiltInControlsPaintFaceFrameAndText) {
    HWND dlg = CreateBox(OkCancelBox());
    ASSERT_NE(dlg, nullptr);
    pal::DecodedImage box = Painted(dlg, root_.Path());
    ASSERT_GT(box.width, 10);
    EXPECT_EQ(PixelAt(box, POINT{2, 2}), FaceRgb());
    DestroyWindow(dlg);

    struct Case {
        const char* className;
        DWORD style;
        uint32_t frame;  // the pixel at 0, 5; the face colour for none
        bool text;
    };
    const Case cases[] = {
        {"BUTTON", BS_DEFPUSHBUTTON, 0x000000, true},
        {"BUTTON", BS_PUSHBUTTON, 0x404040, true},
        {"STATIC", SS_LEFT, FaceRgb(), true},
        {"STATIC", SS_ICON, FaceRgb(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.className) + " " + std::to_string(c.style));
        HWND control = CreateWindowExA(0, c.className, "Cancel", WS_POPUP | WS_VISIBLE | c.style,
                                       100, 100, 80, 24, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(control, nullptr) << GetLastError();
        pal::DecodedImage image = Painted(control, root_.Path());
        EXPECT_EQ(PixelAt(image, POINT{0, 5}), c.frame);
        // The label (SS_ICON has none) marks the middle of the face.
        EXPECT_EQ(Marked(image, RECT{4, 4, 76, 20}) > 10, c.text);
        DestroyWindow(control);
    }
}

}  // namespace
