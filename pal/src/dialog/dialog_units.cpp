// Dialog units and MapDialogRect.
#include "dialog/dialog_units.h"

#include "dialog/dialog_state.h"

namespace pal::dialog {

BaseUnits MeasureBaseUnits(HFONT font) {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, kLetters, 52, &size);
    if (old) {
        SelectObject(dc, old);
    }
    DeleteDC(dc);
    return BaseUnits{Scale(size.cx, 1, 52), size.cy};
}

int Scale(int value, int numerator, int denominator) {
    long long product = static_cast<long long>(value) * numerator;
    long long half = denominator / 2;
    long long scaled =
        product >= 0 ? (product + half) / denominator : (product - half) / denominator;
    return static_cast<int>(scaled);
}

RECT ToPixels(const BaseUnits& units, RECT rect) {
    return RECT{Scale(rect.left, units.x, 4), Scale(rect.top, units.y, 8),
                Scale(rect.right, units.x, 4), Scale(rect.bottom, units.y, 8)};
}

RECT PlaceToPixels(const BaseUnits& units, int x, int y, int cx, int cy) {
    RECT place = ToPixels(units, RECT{x, y, cx, cy});
    return RECT{place.left, place.top, place.left + place.right, place.top + place.bottom};
}

}  // namespace pal::dialog

BOOL MapDialogRect(HWND hDlg, LPRECT lpRect) {
    auto state = pal::dialog::FindDialog(hDlg);
    if (!state) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!lpRect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpRect = pal::dialog::ToPixels(state->units, *lpRect);
    return TRUE;
}
