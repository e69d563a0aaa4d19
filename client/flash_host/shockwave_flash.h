// CShockwaveflash: the program's wrapper of the Flash control, control 1000 of the main window.
// Its five dispatch calls go through InvokeHelper (a failing call throws COleDispatchException);
// the right-button messages never reach the control.
#pragma once

#include "appframe.h"

class CShockwaveflash : public CWnd {
    DECLARE_DYNCREATE(CShockwaveflash)
public:
    // {D27CDB6E-AE6D-11CF-96B8-444553540000}
    static const CLSID& GetClsid();

    // Creates the control as a child of pParentWnd, without persisted state. The class name is
    // not used.
    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID) override;
    // WM_RBUTTONDOWN and WM_RBUTTONUP are handled here and end: the control never sees them.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    void SetMovie(LPCSTR newValue);
    void SetScaleMode(LONG newValue);
    // The player's version: major in the high 16 bits, minor in the low 16 bits.
    LONG FlashVersion();
    void SetBGColor(LPCSTR newValue);
    // The XML return value of the FlashCall being handled.
    void SetReturnValue(LPCSTR returnValue);
};
