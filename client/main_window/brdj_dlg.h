// CBRDJDlg: the program's only window, a borderless skinned popup dialog (template 102) of
// 822 x 621 pixels whose area inside the frame is the Flash control. It brings the proxy and the
// player up, loads the local movie, shows the tray icon, starts the update check, routes the
// control's events to the Flash call bridge, drives the skin buttons and the drag, and orders
// the shutdown.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "appframe.h"
#include "flash_call_bridge.h"
#include "main_dialog_template.h"
#include "play_state.h"
#include "shockwave_flash.h"
#include "skin_button.h"
#include "skin_image.h"

// Resources of the main window (template 102 and its control 1000: main_dialog_template.h).
constexpr UINT IDD_ABOUTBOX = 100;
constexpr UINT IDR_TRAY_MENU = 130;
constexpr UINT IDS_ABOUTBOX = 101;
constexpr UINT IDR_MAINFRAME = 128;  // the program icon

// The tray icon's callback message and the window's one-shot timers (TIMER_TRAY_CLICK is the
// tray icon's, TIMER_LOAD_MOVIE the bridge's).
constexpr UINT WM_TRAY_NOTIFY = 2557;
constexpr UINT_PTR TIMER_CHECK_UPDATE = 2559;
constexpr UINT kCheckUpdateDelayMs = 5000;

// The system-menu command of the About box, and the tray menu's commands.
constexpr UINT IDM_ABOUTBOX = 0x10;
constexpr UINT ID_TRAY_EXIT = 32773;
constexpr UINT ID_TRAY_SHOW = 32775;
constexpr UINT ID_TRAY_MINIMIZE = 32776;
constexpr UINT ID_TRAY_FEEDBACK = 32777;

class CBRDJDlg : public CDialog, public CPlayStateHolder {
public:
    explicit CBRDJDlg(CWnd* pParent = nullptr);
    ~CBRDJDlg() override;

    // The folder of the running program with its trailing separator; "" when its path has none.
    static std::string GetAppDir();

    // The Flash control's events.
    void OnFlashReadyStateChange(LONG newState);
    void OnFlashProgress(LONG percentDone);
    void OnFlashCall(LPCSTR request);

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnClose();
    void OnTimer(UINT_PTR nIDEvent);
    void OnSize(UINT nType, int cx, int cy);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    LRESULT OnNcHitTest(CPoint point);
    void OnSetFocus(CWnd* pOldWnd);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnNcLButtonDown(UINT nHitTest, CPoint point);

    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()

private:
    void OnTrayNotify(WPARAM wParam, LPARAM lParam);
    void ShowTrayMenu();
    void RestoreOrActivate();
    void WaitForService();
    void StartFlash();
    // The cursor rule: the arrow over the hit code HTCLOSE; false for every other code.
    bool ApplyCursorRule(UINT hitCode);
    // The hit code of where the pointer is now.
    UINT HitCodeAtCursor();
    CSkinButton* Buttons(int index);

    HICON m_hIcon;
    CShockwaveflash m_flash;
    CSkinImage m_imgTop;
    CSkinImage m_imgLeft;
    CSkinImage m_imgRight;
    CSkinImage m_imgBottom;
    CSkinImage m_imgSpare;
    CSkinButton m_btnClose;
    CSkinButton m_btnMin;
    CSkinButton m_btnHelp;
    CSkinButton m_btnFeedback;
    std::unique_ptr<CFlashCallBridge> m_bridge;
    std::vector<BYTE> m_template;  // template 102, kept while the dialog is made
};
