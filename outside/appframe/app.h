// The application object. A program defines one object of a class derived from CWinApp (or
// CWinAppEx); the program entry (AfxWinMain, linked from appframe_entry) calls its InitInstance
// once. InitInstance TRUE runs the message pump (Run) until WM_QUIT; FALSE skips the pump. Either
// way ExitInstance follows and its result is the program's exit code.
#pragma once

#include "cmd_target.h"
#include "message_map.h"
#include "windows.h"

class CWnd;

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    // The message pump: takes each message, lets PreTranslateMessage see it, dispatches it.
    // Ends at WM_QUIT with ExitInstance's result.
    virtual int Run();
    // The exit code: the wParam of the WM_QUIT that ended the pump, 0 when it never ran.
    virtual int ExitInstance();
    // Offers the message to the windows from its target up to the main window
    // (CWnd::PreTranslateMessage); TRUE when one of them took it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // The per-user settings key. Accepted and kept as a name; nothing is stored under it.
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    // The framework's help command (ID_HELP). The installation has no help file: it does nothing.
    void OnHelp();

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPCSTR m_pszAppName = nullptr;
    LPCSTR m_pszRegistryKey = nullptr;
    MSG m_msgCur{};

    DECLARE_MESSAGE_MAP()
};

// The feature pack's application class; bResourceSmartUpdate is kept and changes nothing here.
class CWinAppEx : public CWinApp {
    DECLARE_DYNAMIC(CWinAppEx)
public:
    explicit CWinAppEx(BOOL bResourceSmartUpdate = FALSE);
    BOOL InitInstance() override;
    BOOL m_bResourceSmartUpdate;
};

// The one application object, null before it is built and after it is destroyed.
CWinApp* AfxGetApp();
// Lets dialogs create the hosted components their templates name; without it such a control
// cannot be created.
void AfxEnableControlContainer();
BOOL AfxControlContainerEnabled();
// The framework's program entry: runs the application object as above.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

// The framework's command id of the help command.
#define ID_HELP 0xE146
