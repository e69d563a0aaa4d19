// CDC: a device context object; CPaintDC: the context of a WM_PAINT, BeginPaint at construction
// and EndPaint at destruction.
#pragma once

#include "geometry.h"
#include "windows.h"

class CWnd;

class CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }

    BOOL Attach(HDC hDC);
    HDC Detach();
    // A memory context (deleted with the object).
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();

    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                DWORD dwRop) {
        return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC->m_hDC, xSrc, ySrc, dwRop);
    }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
    void FillSolidRect(LPCRECT lpRect, COLORREF color);
    BOOL TextOut(int x, int y, LPCSTR lpszString, int nCount) {
        return ::TextOutA(m_hDC, x, y, lpszString, nCount);
    }
    int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
    COLORREF SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }

private:
    bool m_bOwned = false;  // a memory context this object made
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};
