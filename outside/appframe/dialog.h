// CDialog: a dialog made from a DIALOGEX template, modal (DoModal) or modeless (Create). The
// dialog window is attached to the object from the first message its dialog procedure sees
// (before its controls are made), so its message map, its PreTranslateMessage and its hosted
// controls' event-sink map take part from the start. WM_INITDIALOG reaches OnInitDialog, whose
// default handling binds the members (DoDataExchange through UpdateData).
//
// DoModal creates the dialog as a modeless one and runs the framework's own loop: each message
// goes first to PreTranslateMessage of its window and that window's parents (the application's
// PreTranslateMessage when there is an application object), and only a message nobody takes is
// translated and dispatched. CDialog::PreTranslateMessage gives key messages to the dialog
// manager (IsDialogMessageA), so a derived class that returns FALSE for a key keeps it from the
// dialog manager.
#pragma once

#include "wnd.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    // A dialog whose template is the dialog resource nIDTemplate of the application's module
    // (the program when there is no application object).
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Uses the template in memory (kept by the caller while the dialog is made) in place of the
    // resource: for templates built in code.
    BOOL InitModalIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd = nullptr);

    // Runs the dialog modally and returns what EndDialog was given; -1 when the dialog cannot be
    // created (no template, a control that cannot be made, a hosted control whose component
    // cannot be created), in which case OnInitDialog never runs. A WM_QUIT ends the loop, is
    // posted again for the outer loop and gives -1.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless, owned by pParentWnd's window.
    BOOL CreateIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd = nullptr);

    // Ends the dialog: DoModal returns nResult once the message being handled is done; a
    // modeless dialog is hidden. A framework dialog is ended through this member (the default
    // OnOK and OnCancel use it): the layer's EndDialog on its window alone hides it but leaves
    // DoModal's loop running.
    void EndDialog(int nResult);

    // WM_INITDIALOG: the default binds the members (UpdateData(FALSE)) and returns TRUE, which
    // gives the first tab stop control the focus.
    virtual BOOL OnInitDialog();
    // IDOK: takes the members' data (UpdateData(TRUE)) and, when that succeeds, ends with IDOK.
    virtual void OnOK();
    // IDCANCEL (also the dialog's WM_CLOSE): ends with IDCANCEL.
    virtual void OnCancel();

    BOOL PreTranslateMessage(MSG* pMsg) override;

    UINT m_nIDHelp = 0;
    LPCSTR m_lpszTemplateName = nullptr;
    LPCDLGTEMPLATEA m_lpDialogTemplate = nullptr;
    CWnd* m_pParentWnd = nullptr;

protected:
    // The template to make the dialog from: the one in memory, else the module's resource;
    // null when there is neither.
    LPCDLGTEMPLATEA FindTemplate();
    // Makes the dialog window, attached to this object; FALSE when it cannot be made.
    BOOL CreateDlgIndirect(LPCDLGTEMPLATEA lpDialogTemplate, HWND hWndOwner);
    // The owner of a modal dialog: the parent's top-level window, else the application's main
    // window (unless that is this dialog), else none.
    HWND PreModal();

    INT_PTR m_nModalResult = -1;
    bool m_bInModalLoop = false;
    bool m_bContinueModal = false;

    DECLARE_MESSAGE_MAP()

private:
    // The loop of DoModal; FALSE when it ended without EndDialog (WM_QUIT, the window gone).
    BOOL RunModalLoop();
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
};

// The dialog procedure of the framework's dialogs: attaches the dialog being made to its
// object on its first call and gives WM_INITDIALOG to OnInitDialog; every other message is left
// to the dialog's defaults, since the object's message map saw it first.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
