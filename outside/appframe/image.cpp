#include "image.h"

CImage::~CImage() {
    Destroy();
}

void CImage::Destroy() {
    if (m_hBitmap)
        DeleteObject(m_hBitmap);
    m_hBitmap = nullptr;
    m_nWidth = m_nHeight = 0;
    m_bHasAlpha = false;
}

HRESULT CImage::Load(LPCSTR pszFileName) {
    Destroy();
    BOOL hasAlpha = FALSE;
    HBITMAP bitmap = PalLoadPngA(pszFileName, &hasAlpha);
    if (!bitmap)
        return E_FAIL;
    BITMAP info{};
    if (GetObjectA(bitmap, sizeof info, &info) == 0) {
        DeleteObject(bitmap);
        return E_FAIL;
    }
    m_hBitmap = bitmap;
    m_nWidth = info.bmWidth;
    m_nHeight = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    m_bHasAlpha = hasAlpha != FALSE;
    return S_OK;
}

BOOL CImage::Draw(HDC hDestDC, int xDest, int yDest) const {
    if (!hDestDC || !m_hBitmap)
        return FALSE;
    HDC source = CreateCompatibleDC(hDestDC);
    if (!source)
        return FALSE;
    HGDIOBJ old = SelectObject(source, m_hBitmap);
    BOOL drawn;
    if (m_bHasAlpha) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        drawn = AlphaBlend(hDestDC, xDest, yDest, m_nWidth, m_nHeight, source, 0, 0, m_nWidth,
                           m_nHeight, blend);
    } else {
        drawn = BitBlt(hDestDC, xDest, yDest, m_nWidth, m_nHeight, source, 0, 0, SRCCOPY);
    }
    SelectObject(source, old);
    DeleteDC(source);
    return drawn;
}
