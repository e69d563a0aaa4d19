// The macros that write a class's message map:
//
//     class CMyWnd : public CWnd { ... DECLARE_MESSAGE_MAP() };
//     BEGIN_MESSAGE_MAP(CMyWnd, CWnd)
//         ON_WM_PAINT()
//         ON_COMMAND(ID_SOMETHING, &CMyWnd::OnSomething)
//     END_MESSAGE_MAP()
//
// Each ON_ macro names the handler the class (or a base) declares with the signature below; a
// handler with another signature does not compile.
#pragma once

#include "cmd_target.h"
#include "geometry.h"

class CWnd;
CWnd* AfxWndFromHandle(HWND hWnd);

#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const AFX_MSGMAP* GetThisMessageMap(); \
                                                  \
public:                                           \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                     \
    }                                                   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {   \
        using ThisClass [[maybe_unused]] = theClass;    \
        typedef baseClass TheBaseClass;                 \
        static const AFX_MSGMAP_ENTRY afxEntries[] = {
#define END_MESSAGE_MAP()                                                            \
    { 0, 0, 0, 0, nullptr }                                                          \
    }                                                                                \
    ;                                                                                \
    static const AFX_MSGMAP afxMap = {&TheBaseClass::GetThisMessageMap, afxEntries}; \
    return &afxMap;                                                                  \
    }

// One entry: CALL is a statement on `self` (the object as ThisClass), `w`, `l` and `r`
// (the result).
#define AFX_MSG_ENTRY(message, code, first, last, CALL)                  \
    {message, code, first, last,                                         \
     [](CCmdTarget* afxTarget, WPARAM w, LPARAM l, LRESULT* r) -> BOOL { \
         ThisClass* self = static_cast<ThisClass*>(afxTarget);           \
         (void)w;                                                        \
         (void)l;                                                        \
         (void)r;                                                        \
         CALL;                                                           \
         return TRUE;                                                    \
     }},

// void OnCommand handler(): a menu or accelerator command of one id.
#define ON_COMMAND(id, memberFxn) AFX_MSG_ENTRY(WM_COMMAND, 0, id, id, (self->*memberFxn)())

// void OnPaint()
#define ON_WM_PAINT() AFX_MSG_ENTRY(WM_PAINT, 0, 0, 0, self->OnPaint())
// void OnTimer(UINT_PTR nIDEvent)
#define ON_WM_TIMER() AFX_MSG_ENTRY(WM_TIMER, 0, 0, 0, self->OnTimer(UINT_PTR(w)))
// void OnSize(UINT nType, int cx, int cy)
#define ON_WM_SIZE() AFX_MSG_ENTRY(WM_SIZE, 0, 0, 0, self->OnSize(UINT(w), LOWORD(l), HIWORD(l)))
// void OnClose()
#define ON_WM_CLOSE() AFX_MSG_ENTRY(WM_CLOSE, 0, 0, 0, self->OnClose())
// void OnSysCommand(UINT nID, LPARAM lParam)
#define ON_WM_SYSCOMMAND() AFX_MSG_ENTRY(WM_SYSCOMMAND, 0, 0, 0, self->OnSysCommand(UINT(w), l))
// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON()                \
    AFX_MSG_ENTRY(WM_QUERYDRAGICON, 0, 0, 0, \
                  *r = reinterpret_cast<LRESULT>(self->OnQueryDragIcon()))
// void OnSetFocus(CWnd* pOldWnd)
#define ON_WM_SETFOCUS()                \
    AFX_MSG_ENTRY(WM_SETFOCUS, 0, 0, 0, \
                  self->OnSetFocus(AfxWndFromHandle(reinterpret_cast<HWND>(w))))
// LRESULT OnNcHitTest(CPoint point): the point in screen coordinates
#define ON_WM_NCHITTEST() AFX_MSG_ENTRY(WM_NCHITTEST, 0, 0, 0, *r = self->OnNcHitTest(CPoint(l)))
// BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
#define ON_WM_SETCURSOR()      \
    AFX_MSG_ENTRY(             \
        WM_SETCURSOR, 0, 0, 0, \
        *r = self->OnSetCursor(AfxWndFromHandle(reinterpret_cast<HWND>(w)), LOWORD(l), HIWORD(l)))
// void OnNcLButtonDown(UINT nHitTest, CPoint point): the point in screen coordinates
#define ON_WM_NCLBUTTONDOWN() \
    AFX_MSG_ENTRY(WM_NCLBUTTONDOWN, 0, 0, 0, self->OnNcLButtonDown(UINT(w), CPoint(l)))
// void OnXxx(UINT nFlags, CPoint point): the point in client coordinates, nFlags the MK_ flags
#define AFX_ON_MOUSE(message, handler) \
    AFX_MSG_ENTRY(message, 0, 0, 0, self->handler(UINT(w), CPoint(l)))
#define ON_WM_LBUTTONDOWN() AFX_ON_MOUSE(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_ON_MOUSE(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_MOUSEMOVE() AFX_ON_MOUSE(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_RBUTTONDOWN() AFX_ON_MOUSE(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_ON_MOUSE(WM_RBUTTONUP, OnRButtonUp)
