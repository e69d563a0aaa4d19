// What the built-in controls keep beside their window: font, icon, and a push button's state;
// and the painting they share.
#pragma once

#include <memory>

#include "windows.h"

namespace pal::dialog {

struct ControlData {
    HFONT font = nullptr;
    HICON icon = nullptr;
    bool pressed = false;   // drawn pushed in
    bool tracking = false;  // the left button went down on it and has not come up
};

// The control's data, made at its first use; null for a window that is gone.
std::shared_ptr<ControlData> Data(HWND hwnd);
void DropData(HWND hwnd);

// What the built-in controls handle alike: WM_SETFONT, WM_GETFONT, WM_SETTEXT (repainting),
// WM_ERASEBKGND (the face colour), WM_NCDESTROY (the data goes); DefWindowProcA for the rest.
LRESULT ControlDefault(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The text as it shows: without SS_NOPREFIX-style prefixes ("&&" is "&", a single "&" goes).
std::string ShownText(const std::string& text, bool prefixes);

// Fills the client area with the face colour; the text in the control's font, at x (SS_LEFT),
// centred or right-aligned, and at y or centred vertically.
void FillFace(HDC dc, const RECT& client);
void DrawLabel(HDC dc, HFONT font, const std::string& text, const RECT& box, UINT align,
               bool centreVertically);

}  // namespace pal::dialog
