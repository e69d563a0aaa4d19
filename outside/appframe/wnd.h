// CWnd: a window object attached to a layer window. Messages reach the object through
// WindowProc, which gives them to OnWndMsg (the message map, WM_COMMAND to OnCommand) and, when
// no entry takes them, to DefWindowProc: the procedure the window had before it was attached
// (a subclassed window), else the layer's default procedure. The handlers' default handling
// (Default) passes the message being handled to DefWindowProc.
#pragma once

#include "message_map.h"
#include "windows.h"

class COleControlContainer;
class COleControlSite;

class CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object attached to a window of this thread; FromHandle gives a temporary object for a
    // window that has none (kept until that window goes), null for no handle.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    BOOL Attach(HWND hWnd);
    HWND Detach();
    // Attaches the object and routes the window's messages through it; the old procedure becomes
    // DefWindowProc's. FALSE for no window, or when the object or window is attached already.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    // Creates a window of the framework's class (lpszClassName null) or of a registered class,
    // attached to this object from its first message on.
    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName,
                          DWORD dwStyle, int x, int y, int nWidth, int nHeight, HWND hWndParent,
                          HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID);
    virtual BOOL DestroyWindow();

    // The message path.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window's last message (WM_NCDESTROY), when the object is detached.
    virtual void PostNcDestroy() {}
    // The default handling of the message being handled on this thread.
    LRESULT Default();

    // Members on the window.
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    // Centres the window on pAlternateOwner, else on its parent or owner, else on the screen.
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    BOOL ShowWindow(int nCmdShow);
    BOOL IsIconic() const;
    BOOL IsWindowVisible() const;
    BOOL SetForegroundWindow();
    CWnd* SetFocus();
    void SetWindowText(LPCSTR lpszString);
    int GetWindowText(LPSTR lpszString, int nMaxCount) const;
    void GetWindowRect(LPRECT lpRect) const;
    void GetClientRect(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    CWnd* GetParent() const;
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const;

    // Control containment (control_site.h). The container of the controls this window hosts,
    // made at its first use and deleted with the window; the site of the control this object
    // wraps, while its window lives.
    COleControlContainer* GetControlContainer();
    COleControlContainer* m_pCtrlCont = nullptr;
    COleControlSite* m_pCtrlSite = nullptr;
    // Creates the component clsid as child control nID of pParentWnd over rect, with the
    // persisted state when given, and wraps it in this object. The window name is not used.
    BOOL CreateControl(REFCLSID clsid, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, UINT nID, const BYTE* state = nullptr,
                       DWORD stateSize = 0);
    // A dispatch call on the wrapped control: wFlags DISPATCH_METHOD or DISPATCH_PROPERTYPUT,
    // vtRet the result's type (VT_EMPTY none; VT_I4 into a LONG, VT_BOOL into a BOOL, VT_BSTR
    // into a std::string of narrow text), pbParamInfo the arguments' types (VTS_I4 a LONG,
    // VTS_BOOL a BOOL, VTS_BSTR a narrow text) and then the arguments. Throws
    // COleDispatchException (dispatch.h) when the call fails or the object wraps no control.
    void InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                      const BYTE* pbParamInfo, ...);

protected:
    // Default handling of the mapped messages; each passes the message on (Default).
    void OnPaint() { Default(); }
    void OnTimer(UINT_PTR) { Default(); }
    void OnSize(UINT, int, int) { Default(); }
    void OnClose() { Default(); }
    void OnSysCommand(UINT, LPARAM) { Default(); }
    HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
    void OnSetFocus(CWnd*) { Default(); }
    LRESULT OnNcHitTest(CPoint) { return Default(); }
    BOOL OnSetCursor(CWnd*, UINT, UINT) { return BOOL(Default()); }
    void OnNcLButtonDown(UINT, CPoint) { Default(); }
    void OnLButtonDown(UINT, CPoint) { Default(); }
    void OnLButtonUp(UINT, CPoint) { Default(); }
    void OnMouseMove(UINT, CPoint) { Default(); }
    void OnRButtonDown(UINT, CPoint) { Default(); }
    void OnRButtonUp(UINT, CPoint) { Default(); }

    WNDPROC m_pfnSuper = nullptr;  // the window's procedure before it was subclassed

    DECLARE_MESSAGE_MAP()

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
};

// The procedure of the framework's windows and of subclassed ones.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// The class name of the framework's own windows.
inline constexpr char kAfxWndClassName[] = "AfxWnd";
