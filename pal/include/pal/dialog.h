// Dialogs: DIALOGEX templates (and the layer's builder of them from a description in code),
// modal and modeless dialogs with their dialog procedure, the dialog manager's keys
// (IsDialogMessageA), dialog units, and the built-in control classes "STATIC" and "BUTTON".
//
// Dialog units come from the dialog's font: the average character width is the width of
// "A".."Z" "a".."z" in that font divided by 52, rounded to the nearest pixel, and the character
// height is the font's line height; a horizontal unit is a quarter of the average width and a
// vertical unit an eighth of the height: x px = x * avgWidth / 4 and y px = y * height / 8, each
// rounded to the nearest pixel, halves away from zero (MapDialogRect). The font is the
// template's (DS_SETFONT), its points at 96 dots per inch; without one, the layer's default font.
#pragma once

#include <string>
#include <vector>

#include "pal/desktop.h"
#include "pal/draw.h"
#include "pal/types.h"
#include "pal/window.h"

typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);

// A template in memory: the bytes of a DIALOGEX (its header followed by its items), reached
// through this pointer type only.
struct DLGTEMPLATE;
typedef const DLGTEMPLATE* LPCDLGTEMPLATEA;

#define WM_SETFONT 0x0030u
#define WM_GETFONT 0x0031u
#define WM_GETDLGCODE 0x0087u
#define WM_INITDIALOG 0x0110u

#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534Bu

#define DS_FIXEDSYS 0x0008u
#define DS_SETFONT 0x0040u
#define DS_MODALFRAME 0x0080u
#define DS_SHELLFONT (DS_SETFONT | DS_FIXEDSYS)

#ifndef IDOK
#define IDOK 1
#endif
#ifndef IDCANCEL
#define IDCANCEL 2
#endif

// WM_GETDLGCODE's result.
#define DLGC_WANTARROWS 0x0001u
#define DLGC_WANTTAB 0x0002u
#define DLGC_WANTALLKEYS 0x0004u
#define DLGC_WANTMESSAGE 0x0004u
#define DLGC_DEFPUSHBUTTON 0x0010u
#define DLGC_UNDEFPUSHBUTTON 0x0020u
#define DLGC_WANTCHARS 0x0080u
#define DLGC_STATIC 0x0100u
#define DLGC_BUTTON 0x2000u

// "BUTTON": push buttons.
#define BS_PUSHBUTTON 0x00000000u
#define BS_DEFPUSHBUTTON 0x00000001u
#define BS_TYPEMASK 0x0000000Fu
#define BN_CLICKED 0
#define BM_CLICK 0x00F5u

// "STATIC": text and icons.
#define SS_LEFT 0x00000000u
#define SS_CENTER 0x00000001u
#define SS_RIGHT 0x00000002u
#define SS_ICON 0x00000003u
#define SS_TYPEMASK 0x0000001Fu
#define SS_NOPREFIX 0x00000080u
#define STM_SETICON 0x0170u
#define STM_GETICON 0x0171u

// ---- Templates -------------------------------------------------------------------------------

// Not Win32: one control of a template described in code. Texts are narrow (GBK) text, written
// into the template as UTF-16. className is a class name ("BUTTON" and "STATIC" are written as
// the template's predefined class ordinals), or a class id text "{...}" for a hosted component.
// textOrdinal, when not 0, stands in place of the text: a resource id (an SS_ICON's icon).
// data is the control's initialisation data (the template's creation data of the item).
struct PalDialogItem {
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    DWORD id = 0;
    std::string className;
    std::string text;
    WORD textOrdinal = 0;
    std::vector<BYTE> data;
};

// Not Win32: a dialog described in code. With a font face, the template gets DS_SETFONT.
struct PalDialogDescription {
    DWORD style = WS_POPUP | WS_VISIBLE;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    std::string className;               // empty: the dialog class
    std::string title;
    std::string fontFace;  // empty: no font
    WORD pointSize = 9;
    WORD weight = FW_NORMAL;
    BYTE italic = 0;
    BYTE charset = DEFAULT_CHARSET;
    std::vector<PalDialogItem> items;
};

// Not Win32: the DIALOGEX bytes of the description, as a resource compiler lays them out
// (DWORD-aligned items, UTF-16 texts). Empty when a text is no GBK text or a creation data block
// is longer than 65535 bytes.
std::vector<BYTE> PalBuildDialogTemplate(const PalDialogDescription& description);

// ---- Hosted components -------------------------------------------------------------------------

// Not Win32: a control of a template whose class is a class id text ("{...}"), as it reaches the
// factory of the class library that hosts components in dialogs.
struct PalHostedControlRequest {
    HWND dialog;
    HINSTANCE instance;
    const char* classId;  // the template's class text, "{...}"
    int id;
    DWORD style;
    DWORD exStyle;
    RECT rect;         // pixels, in the dialog's client coordinates
    const BYTE* data;  // the initialisation data; null when there is none
    DWORD dataSize;
};
// Creates the control's window as a child of request->dialog and returns it; NULL (with a last
// error) fails the dialog's creation.
typedef HWND (*PalHostedControlFactory)(const PalHostedControlRequest* request);
// Not Win32: sets the process's factory of hosted controls (NULL removes it) and returns the one
// it replaces. Without a factory such a control fails the dialog as an unknown class does.
PalHostedControlFactory PalSetHostedControlFactory(PalHostedControlFactory factory);

// ---- Dialogs ---------------------------------------------------------------------------------

// Creates a modeless dialog from the template: the dialog window (the template's class, else
// the dialog class), owned by hWndParent's top-level window (its client origin is the
// template's origin), then WM_SETFONT with the template's font, then the controls in template
// order, each with WM_SETFONT; then WM_INITDIALOG (wParam the first visible, enabled WS_TABSTOP
// control, lParam dwInitParam) to the dialog procedure, whose TRUE gives that control the
// focus; then it is shown when the template has WS_VISIBLE. A control that cannot be made
// (unknown class, a hosted control without a factory or whose factory fails) destroys the
// dialog again: NULL, with the control's creation error (ERROR_CANNOT_FIND_WND_CLASS for an
// unknown class). NULL with ERROR_INVALID_PARAMETER for no template or one that is not DIALOGEX.
HWND CreateDialogIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA lpTemplate, HWND hWndParent,
                                DLGPROC lpDialogFunc, LPARAM dwInitParam);
// Creates the dialog as CreateDialogIndirectParamA does, disables the owner, shows the dialog
// (WS_VISIBLE or not) and runs the modal loop: GetMessageA, then IsDialogMessageA, else
// TranslateMessage and DispatchMessageA, until EndDialog. Then enables the owner again, destroys
// the dialog and returns EndDialog's result. -1 when the dialog cannot be created (its error as
// above); a WM_QUIT ends the loop, is posted again for the outer loop, and gives 0.
INT_PTR DialogBoxIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA hDialogTemplate,
                                HWND hWndParent, DLGPROC lpDialogFunc, LPARAM dwInitParam);
// Ends the dialog: a modal loop returns nResult after the message it is handling; a modeless
// dialog is hidden. May be called from any thread. FALSE with ERROR_INVALID_WINDOW_HANDLE for a
// window that is no dialog.
BOOL EndDialog(HWND hDlg, INT_PTR nResult);
// The dialog manager's handling of a message taken from the queue: FALSE for a message that is
// not for hDlg or one of its controls (or when hDlg is no dialog of the calling thread).
// Otherwise it handles the message and returns TRUE: WM_GETDLGCODE asks the window the message
// is for; unless it wants the key (DLGC_WANTALLKEYS or DLGC_WANTMESSAGE), Enter sends WM_COMMAND
// (BN_CLICKED) for the focused push button, else for the default button (DM_GETDEFID, IDOK
// without one), and Escape sends WM_COMMAND (IDCANCEL, BN_CLICKED); lParam is the control's
// window or NULL. Every other message is translated and dispatched.
BOOL IsDialogMessageA(HWND hDlg, LPMSG lpMsg);
// The dialog class's procedure: calls the dialog procedure, and for what that leaves (FALSE) the
// dialog's defaults: WM_CLOSE posts WM_COMMAND (IDCANCEL, BN_CLICKED) unless the IDCANCEL
// control is disabled; DM_GETDEFID and DM_SETDEFID; WM_SETFONT and WM_GETFONT; WM_SETFOCUS
// passes the focus on to the control that had it last, else the first WS_TABSTOP control;
// WM_ERASEBKGND fills with COLOR_BTNFACE; every other message goes to DefWindowProcA.
LRESULT DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam);
// Converts a rectangle from the dialog's units to pixels. FALSE with ERROR_INVALID_WINDOW_HANDLE
// for a window that is no dialog.
BOOL MapDialogRect(HWND hDlg, LPRECT lpRect);
// SendMessageA to the dialog's control; 0 when there is no such control.
LRESULT SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam);
