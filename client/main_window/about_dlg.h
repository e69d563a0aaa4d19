// CAboutDlg: the About box (template 100), opened from the system menu.
#pragma once

#include "appframe.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
