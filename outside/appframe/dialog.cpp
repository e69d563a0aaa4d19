// CDialog: creation from a template, the modal loop, the default commands.
#include "dialog.h"

#include "app.h"
#include "wnd_state.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate),
      m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)),
      m_pParentWnd(pParentWnd) {}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd) {
    m_lpDialogTemplate = lpDialogTemplate;
    m_pParentWnd = pParentWnd;
    return lpDialogTemplate != nullptr;
}

LPCDLGTEMPLATEA CDialog::FindTemplate() {
    if (m_lpDialogTemplate)
        return m_lpDialogTemplate;
    if (!m_lpszTemplateName)
        return nullptr;
    CWinApp* app = AfxGetApp();
    HMODULE module = app ? app->m_hInstance : nullptr;
    HRSRC found = FindResourceA(module, m_lpszTemplateName, RT_DIALOG);
    HGLOBAL data = found ? LoadResource(module, found) : nullptr;
    return data ? static_cast<LPCDLGTEMPLATEA>(LockResource(data)) : nullptr;
}

BOOL CDialog::CreateDlgIndirect(LPCDLGTEMPLATEA lpDialogTemplate, HWND hWndOwner) {
    if (!lpDialogTemplate || m_hWnd)
        return FALSE;
    CWinApp* app = AfxGetApp();
    appframe::WndThreadState& state = appframe::ThisThread();
    CWnd* outer = state.dialogCreating;
    state.dialogCreating = this;
    HWND hWnd = CreateDialogIndirectParamA(app ? app->m_hInstance : nullptr, lpDialogTemplate,
                                           hWndOwner, &AfxDlgProc, 0);
    state.dialogCreating = outer;
    if (!hWnd)
        return FALSE;
    // A dialog whose procedure never ran (no message reached it) is attached now.
    return m_hWnd == hWnd || SubclassWindow(hWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd) {
    m_pParentWnd = pParentWnd;
    return CreateDlgIndirect(lpDialogTemplate, pParentWnd ? pParentWnd->m_hWnd : nullptr);
}

HWND CDialog::PreModal() {
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner) {
        CWinApp* app = AfxGetApp();
        CWnd* main = app ? app->m_pMainWnd : nullptr;
        owner = main && main != this ? main->m_hWnd : nullptr;
    }
    while (owner && (GetWindowLongA(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
    return owner;
}

INT_PTR CDialog::DoModal() {
    LPCDLGTEMPLATEA dialogTemplate = FindTemplate();
    if (!dialogTemplate)
        return -1;
    HWND owner = PreModal();
    bool disabled = owner && IsWindowEnabled(owner);
    if (disabled)
        EnableWindow(owner, FALSE);
    m_nModalResult = -1;
    m_bInModalLoop = true;
    m_bContinueModal = true;
    if (CreateDlgIndirect(dialogTemplate, owner)) {
        // A modal dialog is shown whether or not its template says WS_VISIBLE, unless
        // OnInitDialog ended it already.
        if (m_bContinueModal && !IsWindowVisible())
            ShowWindow(SW_SHOWNORMAL);
        if (!RunModalLoop())
            m_nModalResult = -1;
    }
    m_bInModalLoop = false;
    m_bContinueModal = false;
    if (disabled)
        EnableWindow(owner, TRUE);
    if (m_hWnd)
        DestroyWindow();
    return m_nModalResult;
}

BOOL CDialog::RunModalLoop() {
    MSG msg;
    while (m_bContinueModal) {
        if (!m_hWnd || !IsWindow(m_hWnd))
            return FALSE;  // destroyed without EndDialog
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(int(msg.wParam));
            return FALSE;
        }
        if (got == -1)
            return FALSE;
        CWinApp* app = AfxGetApp();
        BOOL taken = app ? app->PreTranslateMessage(&msg) : WalkPreTranslateTree(m_hWnd, &msg);
        if (!taken) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return TRUE;
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    m_bContinueModal = false;
    if (m_hWnd)
        ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hWnd)
        return IsDialogMessageA(m_hWnd, pMsg);
    return FALSE;
}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
    CWnd* wnd = appframe::AttachCreatingDialog(hWnd);
    auto* dialog = dynamic_cast<CDialog*>(wnd);
    if (message != WM_INITDIALOG || !dialog)
        return FALSE;
    // Reached from the layer directly when nothing attached the dialog before: no exception
    // may leave here either.
    try {
        return dialog->OnInitDialog();
    } catch (const std::exception& e) {
        return AfxProcessWndProcException(e, hWnd, message);
    }
}
