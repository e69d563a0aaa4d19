#include "ddx.h"

#include "control_site.h"
#include "wnd.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd)
        return;
    HWND item = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (!item || !rControl.SubclassWindow(item)) {
        pDX->m_bFailed = TRUE;
        return;
    }
    if (COleControlContainer* container = pDX->m_pDlgWnd->m_pCtrlCont)
        rControl.m_pCtrlSite = container->FindItem(UINT(nIDC));
}
