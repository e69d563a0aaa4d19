#include "skin_button.h"

#include <cstdio>

#include "main_dlg_window.h"
#include "skin_image.h"
#include "web_page.h"

namespace {

// Counts every SetState call of every button, for the trace lines.
int g_nSkinTraceIndex = 0;

void TraceSetState(int oldState, int newState, UINT flags) {
    char line[128];
    std::snprintf(line, sizeof line, "Index%d---OldState:%d---NewState:%d---Flasg:%d\n",
                  g_nSkinTraceIndex, oldState, newState, static_cast<int>(flags));
    ++g_nSkinTraceIndex;
    OutputDebugStringA(line);
}

}  // namespace

bool CSkinButton::Load(const std::string& basePath, const std::string& name) {
    static const char* const kSuffixes[kStateCount] = {"N.png", "S.png", "F.png", "D.png"};
    for (int i = 0; i < kStateCount; ++i) {
        images[i].Load(SkinFilePath(basePath, name + kSuffixes[i]).c_str());
    }
    return true;
}

void CSkinButton::SetRect(const RECT& placement) {
    rect = placement;
    x = rect.left;
    y = rect.top;
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
}

bool CSkinButton::Draw(HDC dc) const {
    if (!dc) {
        return false;
    }
    if (state < 0 || state >= kStateCount) {
        return true;
    }
    return images[state].Draw(dc, x, y) != FALSE;
}

bool CSkinButton::HitTest(POINT point) const {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

void CSkinButton::SetState(int newState, UINT flags) {
    TraceSetState(state, newState, flags);
    if (newState == state) {
        return;
    }
    int before = state;
    switch (state) {
        case SKIN_STATE_NORMAL:
        case SKIN_STATE_HOVER:
        case SKIN_STATE_FOURTH:
            state = newState;
            break;
        case SKIN_STATE_PRESSED:
            if (!(flags & MK_LBUTTON)) {
                state = newState;
            }
            break;
        default:
            break;
    }
    if (state != before) {
        if (HWND window = GetMainDlgWindow()) {
            InvalidateRect(window, &rect, TRUE);
        }
    }
}

void CSkinButton::DoAction() const {
    switch (action) {
        case SKIN_ACTION_CLOSE:
            if (HWND window = GetMainDlgWindow()) {
                PostMessageA(window, WM_CLOSE, 0, 0);
            }
            break;
        case SKIN_ACTION_MINIMIZE:
            if (HWND window = GetMainDlgWindow()) {
                PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            }
            break;
        case SKIN_ACTION_HELP:
            OpenWebPage(HelpPageUrl());
            break;
        case SKIN_ACTION_FEEDBACK:
            OpenWebPage(FeedbackPageUrl());
            break;
        default:
            break;
    }
}
