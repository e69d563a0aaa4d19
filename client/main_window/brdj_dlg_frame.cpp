// CBRDJDlg: painting, the rounded window shape, and the mouse on the frame: hit codes, the
// cursor, the skin buttons and the drag.
#include "brdj_dlg.h"
#include "frame_hit_code.h"
#include "skin_frame.h"
#include "skin_layout.h"

namespace {

// The corner ellipse of the window's shape.
constexpr int kCornerEllipse = 5;

}  // namespace

void CBRDJDlg::OnPaint() {
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        int cxIcon = GetSystemMetrics(SM_CXICON);
        int cyIcon = GetSystemMetrics(SM_CYICON);
        CRect rect;
        GetClientRect(&rect);
        int x = (rect.Width() - cxIcon + 1) / 2;
        int y = (rect.Height() - cyIcon + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
        return;
    }
    CPaintDC dc(this);
    DrawSkinFrame(dc, SkinFrame{&m_imgLeft,
                                &m_imgRight,
                                &m_imgTop,
                                &m_imgBottom,
                                {&m_btnClose, &m_btnMin, &m_btnHelp, &m_btnFeedback}});
    CDialog::OnPaint();
}

HCURSOR CBRDJDlg::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(m_hIcon);
}

void CBRDJDlg::OnSize(UINT nType, int cx, int cy) {
    if (nType != SIZE_MINIMIZED) {
        CRect rect;
        GetWindowRect(&rect);
        rect.OffsetRect(-rect.left, -rect.top);
        HRGN region = CreateRoundRectRgn(0, 0, rect.Width() + 1, rect.Height() + 1, kCornerEllipse,
                                         kCornerEllipse);
        SetWindowRgn(m_hWnd, region, TRUE);
    }
    CDialog::OnSize(nType, cx, cy);
}

LRESULT CBRDJDlg::OnNcHitTest(CPoint point) {
    CRect rect;
    GetWindowRect(&rect);
    return FrameHitCode(rect, point);
}

bool CBRDJDlg::ApplyCursorRule(UINT hitCode) {
    if (hitCode != HTCLOSE) {
        return false;
    }
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    return true;
}

UINT CBRDJDlg::HitCodeAtCursor() {
    POINT cursor{};
    GetCursorPos(&cursor);
    return static_cast<UINT>(OnNcHitTest(CPoint(cursor)));
}

BOOL CBRDJDlg::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    if (ApplyCursorRule(nHitTest)) {
        return TRUE;
    }
    return CDialog::OnSetCursor(pWnd, nHitTest, message);
}

void CBRDJDlg::OnSetFocus(CWnd* pOldWnd) {
    CDialog::OnSetFocus(pOldWnd);
}

void CBRDJDlg::OnLButtonDown(UINT nFlags, CPoint point) {
    ReleaseCapture();
    bool hit = false;
    for (int i = 0; i < 4 && !hit; ++i) {
        if (Buttons(i)->HitTest(point)) {
            Buttons(i)->SetState(SKIN_STATE_PRESSED, 0);
            hit = true;
        }
    }
    if (!hit) {
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    }
    CDialog::OnLButtonDown(nFlags, point);
}

void CBRDJDlg::OnLButtonUp(UINT nFlags, CPoint point) {
    for (int i = 0; i < 4; ++i) {
        if (Buttons(i)->HitTest(point)) {
            Buttons(i)->SetState(SKIN_STATE_HOVER, 0);
            Buttons(i)->DoAction();
        } else {
            Buttons(i)->SetState(SKIN_STATE_NORMAL, 0);
        }
    }
    CDialog::OnLButtonUp(nFlags, point);
}

void CBRDJDlg::OnMouseMove(UINT nFlags, CPoint point) {
    ApplyCursorRule(HitCodeAtCursor());
    for (int i = 0; i < 4; ++i) {
        if (Buttons(i)->HitTest(point)) {
            Buttons(i)->SetState(SKIN_STATE_HOVER, nFlags);
        } else {
            Buttons(i)->SetState(SKIN_STATE_NORMAL, 0);
        }
    }
    CDialog::OnMouseMove(nFlags, point);
}

void CBRDJDlg::OnNcLButtonDown(UINT nHitTest, CPoint point) {
    UINT hitCode = HitCodeAtCursor();
    if (hitCode != HTCAPTION) {
        ApplyCursorRule(hitCode);
    }
    CDialog::OnNcLButtonDown(nHitTest, point);
}
