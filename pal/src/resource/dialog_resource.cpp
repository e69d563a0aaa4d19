// DialogBoxParamA and CreateDialogParamA: dialogs from a module's templates.
#include "dialog/create_dialog.h"
#include "resource/resource_table.h"

namespace {

std::optional<pal::dialog::DialogTemplate> TemplateOf(HINSTANCE instance, LPCSTR name) {
    const PalResource* entry = name ? pal::resource::Find(instance, name, RT_DIALOG) : nullptr;
    if (!entry) {
        if (!name) {
            SetLastError(ERROR_INVALID_PARAMETER);
        }
        return std::nullopt;
    }
    auto dialog =
        pal::dialog::ReadDialogTemplate(static_cast<const BYTE*>(entry->data), entry->size);
    if (!dialog) {
        SetLastError(ERROR_INVALID_DATA);
    }
    return dialog;
}

}  // namespace

INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                        DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    auto dialog = TemplateOf(hInstance, lpTemplateName);
    if (!dialog) {
        return -1;
    }
    return pal::dialog::RunModal(hInstance, *dialog, hWndParent, lpDialogFunc, dwInitParam);
}

HWND CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                        DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    auto dialog = TemplateOf(hInstance, lpTemplateName);
    if (!dialog) {
        return nullptr;
    }
    return pal::dialog::CreateFromTemplate(hInstance, *dialog, hWndParent, lpDialogFunc,
                                           dwInitParam, false);
}
