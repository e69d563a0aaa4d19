#include "about_dlg.h"

#include "brdj_dlg.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
