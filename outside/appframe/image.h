// CImage: a decoded PNG. Load keeps the image's alpha channel (premultiplied pixels); Draw puts
// the image at a point at its own size, blending it with its alpha when it has transparency and
// copying it opaquely when it has none.
#pragma once

#include <string>

#include "windows.h"

class CImage {
public:
    CImage() = default;
    ~CImage();
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;

    // Replaces the image with the PNG file's; S_OK, or E_FAIL (the image then empty) when the
    // file cannot be read or decoded.
    HRESULT Load(LPCSTR pszFileName);
    void Destroy();
    bool IsNull() const { return m_hBitmap == nullptr; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    // Whether the image has per-pixel transparency.
    bool HasAlpha() const { return m_bHasAlpha; }
    operator HBITMAP() const { return m_hBitmap; }

    // Draws the image with its top-left corner at x, y at its own size. FALSE for a null
    // context or an empty image, else the blit's result.
    BOOL Draw(HDC hDestDC, int xDest, int yDest) const;

private:
    HBITMAP m_hBitmap = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    bool m_bHasAlpha = false;
};
