#include "dialog/create_dialog.h"

#include <atomic>

#include "dialog/builtin_classes.h"
#include "dialog/dialog_state.h"

namespace pal::dialog {
namespace {

std::atomic<PalHostedControlFactory> g_hostedFactory{nullptr};

HFONT TemplateFont(const DialogTemplate& dialog) {
    if (!dialog.hasFont) {
        return nullptr;
    }
    return CreateFontA(-Scale(dialog.pointSize, 96, 72), 0, 0, 0, dialog.weight, dialog.italic, 0,
                       0, dialog.charset, 0, 0, 0, 0, dialog.fontFace.c_str());
}

bool IsClassId(const std::string& className) {
    return !className.empty() && className.front() == '{';
}

HWND CreateHosted(HWND dlg, HINSTANCE instance, const TemplateItem& item, RECT rect) {
    PalHostedControlFactory factory = g_hostedFactory.load();
    if (!factory) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);  // as any class that is not registered
        return nullptr;
    }
    PalHostedControlRequest request{dlg,
                                    instance,
                                    item.className.c_str(),
                                    static_cast<int>(item.id),
                                    item.style | WS_CHILD,
                                    item.exStyle,
                                    rect,
                                    item.data.empty() ? nullptr : item.data.data(),
                                    static_cast<DWORD>(item.data.size())};
    HWND control = factory(&request);
    if (!control && GetLastError() == ERROR_SUCCESS) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);  // a factory that gave no reason
    }
    return control;
}

HWND CreateControl(HWND dlg, HINSTANCE instance, const DialogState& state,
                   const TemplateItem& item) {
    RECT rect = PlaceToPixels(state.units, item.x, item.y, item.cx, item.cy);
    if (IsClassId(item.className)) {
        return CreateHosted(dlg, instance, item, rect);
    }
    // The control's WM_CREATE gets the creation data as it sits in the template: its size in a
    // WORD, then the bytes.
    std::vector<BYTE> creation;
    if (!item.data.empty()) {
        creation.push_back(static_cast<BYTE>(item.data.size()));
        creation.push_back(static_cast<BYTE>(item.data.size() >> 8));
        creation.insert(creation.end(), item.data.begin(), item.data.end());
    }
    return CreateWindowExA(item.exStyle, item.className.c_str(), item.text.c_str(),
                           item.style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, dlg,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(item.id)), instance,
                           creation.empty() ? nullptr : creation.data());
}

HWND Fail(HWND dlg, DWORD error) {
    if (dlg) {
        DestroyWindow(dlg);
    }
    SetLastError(error);
    return nullptr;
}

}  // namespace

std::optional<DialogTemplate> ReadIndirect(LPCDLGTEMPLATEA bytes) {
    auto dialog = ReadDialogTemplate(reinterpret_cast<const BYTE*>(bytes), kMaxTemplateBytes);
    if (!dialog) {
        SetLastError(ERROR_INVALID_PARAMETER);
    }
    return dialog;
}

HWND CreateFromTemplate(HINSTANCE instance, const DialogTemplate& dialog, HWND parent,
                        DLGPROC procedure, LPARAM param, bool modal) {
    RegisterBuiltInClasses();
    auto state = std::make_shared<DialogState>(procedure, modal, GetCurrentThreadId());
    state->ownedFont = TemplateFont(dialog);
    state->units = MeasureBaseUnits(state->ownedFont);
    // The template's origin is the owner's client origin (the screen's without an owner).
    POINT origin{0, 0};
    if (parent && !ClientToScreen(parent, &origin)) {
        if (state->ownedFont) {
            DeleteObject(state->ownedFont);
        }
        return Fail(nullptr, ERROR_INVALID_WINDOW_HANDLE);
    }
    RECT rect = PlaceToPixels(state->units, dialog.x, dialog.y, dialog.cx, dialog.cy);
    if (!(dialog.style & WS_CHILD)) {
        rect = RECT{rect.left + origin.x, rect.top + origin.y, rect.right + origin.x,
                    rect.bottom + origin.y};
    }
    const char* className = dialog.className.empty() ? kDialogClass : dialog.className.c_str();
    HWND dlg =
        CreateWindowExA(dialog.exStyle, className, dialog.title.c_str(), dialog.style & ~WS_VISIBLE,
                        rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                        nullptr, instance, nullptr);
    if (!dlg) {
        DWORD error = GetLastError();
        if (state->ownedFont) {
            DeleteObject(state->ownedFont);
        }
        return Fail(nullptr, error);
    }
    AddDialog(dlg, state);
    if (state->ownedFont) {
        SendMessageA(dlg, WM_SETFONT, reinterpret_cast<WPARAM>(state->ownedFont), FALSE);
    }
    for (const TemplateItem& item : dialog.items) {
        SetLastError(ERROR_SUCCESS);
        HWND control = CreateControl(dlg, instance, *state, item);
        if (!control) {
            return Fail(dlg, GetLastError());
        }
        // Template order is z-order, the first control in front (and first in the tab order).
        SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        state->controls.push_back(control);
        if (state->ownedFont) {
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(state->ownedFont), FALSE);
        }
    }
    HWND first = state->FirstTabStop();
    LRESULT setFocus = SendMessageA(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if (!IsWindow(dlg)) {
        return Fail(nullptr, ERROR_INVALID_WINDOW_HANDLE);  // WM_INITDIALOG destroyed it
    }
    HWND focus = GetFocus();
    if (setFocus && first) {
        state->lastFocus = first;
    } else if (focus && IsChild(dlg, focus)) {
        state->lastFocus = focus;
    }
    if ((dialog.style & WS_VISIBLE || modal) && !state->Ended()) {
        ShowWindow(dlg, SW_SHOWNORMAL);
        if (state->lastFocus) {
            SetFocus(state->lastFocus);
        }
    }
    return dlg;
}

}  // namespace pal::dialog

PalHostedControlFactory PalSetHostedControlFactory(PalHostedControlFactory factory) {
    return pal::dialog::g_hostedFactory.exchange(factory);
}

// Differs from Windows: only DIALOGEX templates, read no further than kMaxTemplateBytes; the
// template's menu is ignored; a class id control is made by the hosted control factory.
HWND CreateDialogIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA lpTemplate, HWND hWndParent,
                                DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    auto dialog = pal::dialog::ReadIndirect(lpTemplate);
    if (!dialog) {
        return nullptr;
    }
    return pal::dialog::CreateFromTemplate(hInstance, *dialog, hWndParent, lpDialogFunc,
                                           dwInitParam, false);
}
