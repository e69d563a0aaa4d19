#include "main_window_resources.h"

#include <string>
#include <vector>

#include "appframe.h"
#include "brdj_dlg.h"

namespace {

std::vector<BYTE> TrayMenuTemplate() {
    return PalBuildMenuTemplate({{MF_POPUP,
                                  0,
                                  "",
                                  {{MF_STRING, ID_TRAY_SHOW, PalGbk("显示主界面"), {}},
                                   {MF_STRING, ID_TRAY_MINIMIZE, PalGbk("最  小  化"), {}},
                                   {MF_SEPARATOR, 0, "", {}},
                                   {MF_STRING, ID_TRAY_FEEDBACK, PalGbk("意见反馈"), {}},
                                   {MF_SEPARATOR, 0, "", {}},
                                   {MF_STRING, ID_TRAY_EXIT, PalGbk("退  出"), {}}}}});
}

PalDialogItem Static(DWORD style, const char* text, short x, short y, short cx, short cy) {
    PalDialogItem item;
    item.className = "STATIC";
    item.style = WS_CHILD | WS_VISIBLE | style;
    item.text = text;
    item.id = static_cast<DWORD>(-1);
    item.x = x, item.y = y, item.cx = cx, item.cy = cy;
    return item;
}

std::vector<BYTE> AboutDialogTemplate() {
    PalDialogDescription d;
    d.style = 0x80C800C8;  // WS_POPUP, WS_CAPTION, WS_SYSMENU, DS_MODALFRAME, DS_SHELLFONT
    d.cx = 170;
    d.cy = 62;
    d.title = PalGbk("关于 BRDJ");
    d.fontFace = "MS Shell Dlg";
    d.pointSize = 9;
    PalDialogItem icon = Static(SS_ICON, "", 14, 14, 21, 20);
    icon.textOrdinal = IDR_MAINFRAME;
    PalDialogItem ok;
    ok.className = "BUTTON";
    ok.style = WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP;
    ok.text = PalGbk("确定");
    ok.id = IDOK;
    ok.x = 113, ok.y = 41, ok.cx = 50, ok.cy = 14;
    d.items = {icon, Static(SS_NOPREFIX | WS_GROUP, PalGbk("BRDJ，1.0 版"), 42, 14, 114, 8),
               Static(0, PalGbk("DJ 舞曲播放器"), 42, 26, 114, 8), ok};
    return PalBuildDialogTemplate(d);
}

const std::vector<BYTE> kTrayMenu = TrayMenuTemplate();
const std::vector<BYTE> kAboutBox = AboutDialogTemplate();
const std::string kAboutItem = PalGbk("关于 BRDJ(&A)...");
constexpr char kIconPicture[] = "brdj_icon.png";

const PalResource kResources[] = {
    {RT_GROUP_ICON, MAKEINTRESOURCEA(IDR_MAINFRAME), kIconPicture, sizeof kIconPicture - 1},
    {RT_MENU, MAKEINTRESOURCEA(IDR_TRAY_MENU), kTrayMenu.data(),
     static_cast<DWORD>(kTrayMenu.size())},
    {RT_DIALOG, MAKEINTRESOURCEA(IDD_ABOUTBOX), kAboutBox.data(),
     static_cast<DWORD>(kAboutBox.size())},
    {RT_STRING, MAKEINTRESOURCEA(IDS_ABOUTBOX), kAboutItem.data(),
     static_cast<DWORD>(kAboutItem.size())},
};
PAL_MODULE_RESOURCES(kResources);

}  // namespace

HINSTANCE AppInstance() {
    return AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr;
}

HICON LoadMainIcon() {
    return LoadIconA(AppInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}
