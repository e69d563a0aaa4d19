// CBRDJDlg: construction, the message and event-sink maps, data exchange and start-up.
#include "brdj_dlg.h"

#include "br_service_proxy.h"
#include "debug_log.h"
#include "debug_overlay.h"
#include "dir_and_ini.h"
#include "log_texts.h"
#include "main_dlg_window.h"
#include "main_window_resources.h"
#include "main_window_texts.h"
#include "player_ctrl.h"
#include "program_globals.h"
#include "skin_layout.h"
#include "tray_icon.h"
#include "update_launcher.h"

namespace {

// How often, one second apart, start-up asks whether the service runs.
constexpr int kServiceTries = 6;
constexpr DWORD kServiceTryPauseMs = 1000;
// The first Flash version whose major number needs no warning.
constexpr LONG kLowestFlashMajor = 10;
// The Flash control's scale mode for no scaling, and its background.
constexpr LONG kFlashNoScale = 3;
constexpr char kFlashBackground[] = "0x00000000";

}  // namespace

BEGIN_MESSAGE_MAP(CBRDJDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_WM_CLOSE()
ON_WM_TIMER()
ON_WM_SIZE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_NCHITTEST()
ON_WM_SETFOCUS()
ON_WM_SETCURSOR()
ON_WM_NCLBUTTONDOWN()
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CBRDJDlg, CDialog)
ON_EVENT(CBRDJDlg, IDC_SHOCKWAVEFLASH, -609, OnFlashReadyStateChange, VTS_I4)
ON_EVENT(CBRDJDlg, IDC_SHOCKWAVEFLASH, 0x7A6, OnFlashProgress, VTS_I4)
ON_EVENT(CBRDJDlg, IDC_SHOCKWAVEFLASH, 0xC5, OnFlashCall, VTS_BSTR)
END_EVENTSINK_MAP()

CBRDJDlg::CBRDJDlg(CWnd* pParent)
    : CDialog(IDD_BRDJ_DIALOG, pParent), m_template(MainDialogTemplate()) {
    InitModalIndirect(reinterpret_cast<LPCDLGTEMPLATEA>(m_template.data()), pParent);
    m_hIcon = LoadMainIcon();
    FlashCallHost host;
    host.player = &g_PlayerCore;
    host.playState = this;
    host.setReturnValue = [this](const char* xml) { m_flash.SetReturnValue(xml); };
    host.showDebugText = [](const std::string& text, bool transparent) {
        ShowDebugText(text, transparent);
    };
    host.setTimer = [this](UINT_PTR timerId, UINT elapseMs, const std::string& url) {
        SetTimer(timerId, elapseMs);
        if (!url.empty()) {
            g_strSwfPath = url;
        }
    };
    m_bridge = std::make_unique<CFlashCallBridge>(std::move(host));
}

CBRDJDlg::~CBRDJDlg() = default;

std::string CBRDJDlg::GetAppDir() {
    char path[520] = {};
    GetModuleFileNameA(nullptr, path, sizeof path - 1);
    std::string text = path;
    size_t cut = text.rfind(kPathSeparator);
    return cut == std::string::npos ? std::string() : text.substr(0, cut + 1);
}

void CBRDJDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SHOCKWAVEFLASH, m_flash);
}

BOOL CBRDJDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (CMenu* systemMenu = GetSystemMenu(FALSE)) {
        char about[256] = {};
        LoadStringA(AppInstance(), IDS_ABOUTBOX, about, sizeof about);
        if (about[0] != '\0') {
            systemMenu->AppendMenu(MF_SEPARATOR);
            systemMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    std::string dir = GetAppDir();
    SetPlayState(PLAY_STATE_NONE);
    CSkinImage* images[] = {&m_imgTop, &m_imgLeft, &m_imgRight, &m_imgBottom};
    const char* const kImageFiles[] = {"Top.png", "Left.png", "Right.png", "Bottom.png"};
    for (int i = 0; i < 4; ++i) {
        images[i]->SetBasePath(dir);
        images[i]->Load(kImageFiles[i]);
    }
    const char* const kButtonNames[] = {"BtnClose", "BtnMin", "BtnHelp", "BtnFeedback"};
    for (int i = 0; i < 4; ++i) {
        Buttons(i)->SetAction(SKIN_ACTION_CLOSE + i);
        Buttons(i)->Load(dir, kButtonNames[i]);
    }
    ModifyStyleEx(WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED);
    ModifyStyle(0, WS_MINIMIZEBOX);
    g_Log.Log(LogTextInitWindow());
    SetWindowText("BrindoDJ");
    SetWindowPos(nullptr, 0, 0, skin_layout::kWindowWidth, skin_layout::kWindowHeight, SWP_NOMOVE);
    CenterWindow();
    const RECT kButtonRects[] = {skin_layout::kClose, skin_layout::kMin, skin_layout::kHelp,
                                 skin_layout::kFeedback};
    for (int i = 0; i < 4; ++i) {
        Buttons(i)->SetRect(kButtonRects[i]);
    }

    InitProxy();
    WaitForService();
    g_PlayerCore.SetCore(GetPlayerCoreProxy());
    g_PlayerCore.Init();

    g_Log.Log(LogTextInitFlash());
    StartFlash();

    CTrayIcon* tray = CTrayIcon::Instance();
    tray->SetOwner(m_hWnd, WM_TRAY_NOTIFY);
    tray->SetIcon(m_hIcon, "BrindoDJ");

    g_strWorkDir = GetCommonDataDir();
    if (!g_strWorkDir.empty()) {
        g_strWorkDir += std::string("BRDJ") + kPathSeparator;
    }
    SetTimer(TIMER_CHECK_UPDATE, kCheckUpdateDelayMs);
    return TRUE;
}

void CBRDJDlg::WaitForService() {
    for (int i = 0; i < kServiceTries; ++i) {
        if (IsRunCoreServer()) {
            return;
        }
        Sleep(kServiceTryPauseMs);
    }
}

void CBRDJDlg::StartFlash() {
    m_flash.MoveWindow(&skin_layout::kFlashArea, TRUE);
    m_flash.SetScaleMode(kFlashNoScale);
    m_flash.SetBGColor(kFlashBackground);
    g_strSwfPath = GetExeDir() + "loadingVer.swf";
    m_flash.SetMovie(g_strSwfPath.c_str());
    LONG version = m_flash.FlashVersion();
    if ((version >> 16) < kLowestFlashMajor) {
        MessageBoxA(m_hWnd, MainWindowTextOldFlash(), MainWindowTextCaption(), MB_OK);
    }
}

CSkinButton* CBRDJDlg::Buttons(int index) {
    CSkinButton* const buttons[] = {&m_btnClose, &m_btnMin, &m_btnHelp, &m_btnFeedback};
    return buttons[index];
}

void CBRDJDlg::OnFlashReadyStateChange(LONG) {}

void CBRDJDlg::OnFlashProgress(LONG percentDone) {
    g_Log.Log(LogTextFlashProgress(), static_cast<int>(percentDone));
}

void CBRDJDlg::OnFlashCall(LPCSTR request) {
    m_bridge->OnFlashCall(request);
}

// The skin buttons' way to the running main window.
HWND GetMainDlgWindow() {
    return g_pMainDlg ? static_cast<CBRDJDlg*>(g_pMainDlg)->GetSafeHwnd() : nullptr;
}
