// CWnd's life: construction, creation of its window, destruction.
#include "wnd.h"

#include <mutex>

#include "app.h"
#include "control_site.h"
#include "wnd_state.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

namespace {

// The framework's window class, registered once per process.
void RegisterFrameworkClass() {
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &AfxWndProc;
        wc.lpszClassName = kAfxWndClassName;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        RegisterClassA(&wc);
    });
}

}  // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
    // An object that goes with its window still there takes the window with it.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
    delete m_pCtrlCont;
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this)
        app->m_pMainWnd = nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam) {
    if (m_hWnd)
        return FALSE;
    RegisterFrameworkClass();
    appframe::WndThreadState& state = appframe::ThisThread();
    state.creating = this;
    HWND hWnd =
        CreateWindowExA(dwExStyle, lpszClassName ? lpszClassName : kAfxWndClassName, lpszWindowName,
                        dwStyle, x, y, nWidth, nHeight, hWndParent, nIDorHMenu, nullptr, lpParam);
    state.creating = nullptr;
    if (!hWnd)
        return FALSE;
    // A window of another class never came through AfxWndProc: attach and subclass it now.
    if (m_hWnd != hWnd && !SubclassWindow(hWnd))
        return FALSE;
    return TRUE;
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)));
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd)
        return FALSE;
    HWND hWnd = m_hWnd;
    BOOL destroyed = ::DestroyWindow(hWnd);
    // A window that was not attached (or whose last message never came here) is let go.
    if (m_hWnd == hWnd && !IsWindow(hWnd))
        Detach();
    return destroyed;
}
