#include "app.h"

#include <string>

#include "wnd.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinAppEx, CWinApp)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

namespace {

CWinApp* g_afxApp = nullptr;
bool g_afxControlContainer = false;

}  // namespace

CWinApp* AfxGetApp() {
    return g_afxApp;
}

void AfxEnableControlContainer() {
    g_afxControlContainer = true;
}

BOOL AfxControlContainerEnabled() {
    return g_afxControlContainer;
}

CWinApp::CWinApp(LPCSTR lpszAppName) : m_pszAppName(lpszAppName) {
    g_afxApp = this;
}

CWinApp::~CWinApp() {
    if (g_afxApp == this)
        g_afxApp = nullptr;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) {
    HWND stop = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = GetParent(hWnd)) {
        if (CWnd* wnd = CWnd::FromHandlePermanent(hWnd); wnd && wnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == stop)
            break;
    }
    return FALSE;
}

int CWinApp::Run() {
    for (;;) {
        BOOL got = GetMessageA(&m_msgCur, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (!PreTranslateMessage(&m_msgCur)) {
            TranslateMessage(&m_msgCur);
            DispatchMessageA(&m_msgCur);
        }
    }
    return ExitInstance();
}

int CWinApp::ExitInstance() {
    return m_msgCur.message == WM_QUIT ? int(m_msgCur.wParam) : 0;
}

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey) {
    m_pszRegistryKey = lpszRegistryKey;
}

void CWinApp::OnHelp() {}

CWinAppEx::CWinAppEx(BOOL bResourceSmartUpdate) : m_bResourceSmartUpdate(bResourceSmartUpdate) {}

BOOL CWinAppEx::InitInstance() {
    return CWinApp::InitInstance();
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = hInstance;
    if (!app->InitInstance()) {
        if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd)
            app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}
