// Data exchange: a dialog's DoDataExchange binds its member objects to its controls.
#pragma once

#include "windows.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    BOOL m_bFailed = FALSE;  // a binding failed; the exchange as a whole fails
};

// Binds rControl to control nIDC of the dialog, once: the object is attached to the control's
// window (its messages go through the object) and, for a hosted control, to its site, so its
// dispatch calls reach the component. A control that does not exist sets m_bFailed.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
