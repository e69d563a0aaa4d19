#include "dc.h"

#include "wnd.h"

CDC::~CDC() {
    DeleteDC();
}

BOOL CDC::Attach(HDC hDC) {
    if (m_hDC || !hDC)
        return FALSE;
    m_hDC = hDC;
    m_bOwned = false;
    return TRUE;
}

HDC CDC::Detach() {
    HDC hDC = m_hDC;
    m_hDC = nullptr;
    m_bOwned = false;
    return hDC;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    if (m_hDC)
        return FALSE;
    m_hDC = ::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr);
    m_bOwned = m_hDC != nullptr;
    return m_hDC != nullptr;
}

BOOL CDC::DeleteDC() {
    if (!m_hDC || !m_bOwned)
        return FALSE;
    BOOL deleted = ::DeleteDC(m_hDC);
    m_hDC = nullptr;
    m_bOwned = false;
    return deleted;
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(m_hDC, lpRect, brush);
    DeleteObject(brush);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) {
    Attach(BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC() {
    Detach();
    EndPaint(m_hWnd, &m_ps);
}
