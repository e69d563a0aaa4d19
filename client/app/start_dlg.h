// CStartDlg: a stand-in for the main window until the real one (CBRDJDlg) takes its place in
// InitInstance. A dialog of template 102 whose data exchange binds the Flash control and whose
// initialisation sizes the window and loads the local movie, so that the program's start-up
// can be run and seen.
#pragma once

#include <vector>

#include "appframe.h"
#include "play_state.h"
#include "shockwave_flash.h"

class CStartDlg : public CDialog, public CPlayStateHolder {
public:
    explicit CStartDlg(CWnd* pParent = nullptr);

    CShockwaveflash m_flash;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    std::vector<BYTE> m_template;
};
