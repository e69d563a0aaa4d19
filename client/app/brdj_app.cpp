#include "brdj_app.h"

#include "instance.h"
#include "play_state.h"
#include "brdj_dlg.h"

namespace {

// The framework's per-user settings key; nothing is stored under it.
const char* RegistryKey() {
    return PalGbk("应用程序向导生成的本地应用程序");
}

}  // namespace

BEGIN_MESSAGE_MAP(CBRDJApp, CWinAppEx)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CBRDJApp::CBRDJApp() : CWinAppEx(TRUE) {}

BOOL CBRDJApp::InitInstance() {
    // A second copy ends here: no window, no message, the running one is not told.
    if (IsAnotherInstanceRunning())
        return FALSE;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = 8;
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);
    CWinAppEx::InitInstance();
    AfxEnableControlContainer();
    SetRegistryKey(RegistryKey());

    CBRDJDlg dlg(nullptr);
    m_pMainWnd = &dlg;
    g_pMainDlg = &dlg;
    // A dialog that cannot be made (-1) takes the same way out as one that was closed.
    dlg.DoModal();
    // The window object goes with this function: nothing may reach it through the pointer
    // afterwards (the proxy that could is shut down by the window's close handling).
    g_pMainDlg = nullptr;
    return FALSE;
}
