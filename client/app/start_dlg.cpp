#include "start_dlg.h"

#include "dir_and_ini.h"
#include "main_dialog_template.h"
#include "program_globals.h"

CStartDlg::CStartDlg(CWnd* pParent)
    : CDialog(IDD_BRDJ_DIALOG, pParent), m_template(MainDialogTemplate()) {
    InitModalIndirect(reinterpret_cast<LPCDLGTEMPLATEA>(m_template.data()), pParent);
}

void CStartDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SHOCKWAVEFLASH, m_flash);
}

BOOL CStartDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText("BrindoDJ");
    SetWindowPos(nullptr, 0, 0, 822, 621, SWP_NOMOVE | SWP_NOZORDER);
    CenterWindow();
    m_flash.MoveWindow(4, 37, 814, 580, TRUE);
    m_flash.SetScaleMode(3);
    m_flash.SetBGColor("0x00000000");
    g_strSwfPath = GetExeDir() + "loadingVer.swf";
    m_flash.SetMovie(g_strSwfPath.c_str());
    return TRUE;
}
