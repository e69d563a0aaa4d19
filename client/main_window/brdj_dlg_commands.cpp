// CBRDJDlg: the system menu, the keys kept from the dialog manager, the tray icon's message, the
// timers, the tray menu's commands and the close order.
#include "about_dlg.h"
#include "br_service_proxy.h"
#include "brdj_dlg.h"
#include "main_window_resources.h"
#include "tray_icon.h"
#include "update_launcher.h"
#include "web_page.h"

void CBRDJDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0u) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

BOOL CBRDJDlg::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE)) {
        return FALSE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

LRESULT CBRDJDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TRAY_NOTIFY) {
        OnTrayNotify(wParam, lParam);
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CBRDJDlg::OnTrayNotify(WPARAM wParam, LPARAM lParam) {
    CTrayIcon::Instance()->OnNotify(wParam, lParam);
}

void CBRDJDlg::OnTimer(UINT_PTR nIDEvent) {
    switch (nIDEvent) {
        case TIMER_TRAY_CLICK:
            KillTimer(TIMER_TRAY_CLICK);
            if (CTrayIcon::Instance()->IsRightClick()) {
                SetForegroundWindow();
                HMENU menu = LoadMenuA(AppInstance(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
                if (!menu) {
                    return;
                }
                HMENU popup = GetSubMenu(menu, 0);
                if (!popup) {
                    DestroyMenu(menu);
                    return;
                }
                POINT cursor{};
                GetCursorPos(&cursor);
                TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, m_hWnd, nullptr);
                DestroyMenu(menu);
            } else {
                RestoreOrActivate();
            }
            break;
        case TIMER_CHECK_UPDATE:
            KillTimer(TIMER_CHECK_UPDATE);
            CheckForUpdate();
            break;
        case TIMER_LOAD_MOVIE:
            KillTimer(TIMER_LOAD_MOVIE);
            m_flash.SetMovie(LoadingMovieUrl().c_str());
            break;
        default:
            break;
    }
    CDialog::OnTimer(nIDEvent);
}

void CBRDJDlg::RestoreOrActivate() {
    if (IsIconic()) {
        ShowWindow(SW_SHOWNORMAL);
    } else {
        SetForegroundWindow();
    }
}

BOOL CBRDJDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
        case ID_TRAY_EXIT:
            PostMessage(WM_CLOSE, 0, 0);
            break;
        case ID_TRAY_SHOW:
            RestoreOrActivate();
            break;
        case ID_TRAY_MINIMIZE:
            ShowWindow(SW_MINIMIZE);
            break;
        case ID_TRAY_FEEDBACK:
            OpenWebPage(FeedbackPageUrl());
            break;
        default:
            break;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CBRDJDlg::OnClose() {
    StopCoreServer();
    UnInitProxy();
    CTrayIcon::Destroy();
    InstallPendingUpdate();
    CDialog::OnClose();
}
