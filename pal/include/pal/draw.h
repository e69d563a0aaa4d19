// Drawing: device contexts, bitmaps, brushes, blits, icons, text and regions, on cairo, pango and
// fontconfig. A bitmap's pixel is a 32-bit word 0xAARRGGBB in native byte order (BGRA in memory),
// with the colour premultiplied by alpha: the pixel that AlphaBlend takes and cairo composites.
// Window surfaces, BeginPaint's context and the screen are in pal/window.h.
#pragma once

#include "pal/types.h"

typedef void* HGDIOBJ;
typedef struct HBITMAP__* HBITMAP;
typedef struct HRGN__* HRGN;
typedef struct HFONT__* HFONT;
typedef DWORD COLORREF;
typedef RECT* LPRECT;
typedef const RECT* LPCRECT;

struct SIZE {
    LONG cx;
    LONG cy;
};
typedef SIZE* LPSIZE;

#define RGB(r, g, b)                                                                               \
    (static_cast<COLORREF>(static_cast<BYTE>(r) | (static_cast<WORD>(static_cast<BYTE>(g)) << 8) | \
                           (static_cast<DWORD>(static_cast<BYTE>(b)) << 16)))
#define GetRValue(c) (static_cast<BYTE>((c)&0xFF))
#define GetGValue(c) (static_cast<BYTE>(((c) >> 8) & 0xFF))
#define GetBValue(c) (static_cast<BYTE>(((c) >> 16) & 0xFF))
#define CLR_INVALID 0xFFFFFFFFu
#define HGDI_ERROR (reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(-1)))

#ifndef ERROR_INVALID_BITMAP
#define ERROR_INVALID_BITMAP 1455u
#endif

// ---- Objects ---------------------------------------------------------------------------------

// GDI handles are the layer's own values, never reused within a process and never equal to a
// kernel handle or a window handle. Objects are process-wide; they are not for use by two
// threads at once (as on Windows).

// Puts the bitmap, brush, font or region into the context and returns the object it replaces
// (NULL with ERROR_INVALID_HANDLE for an unknown context or object). A bitmap goes only into a
// memory context and only into one context at a time (NULL otherwise). A region sets the clip
// region (a copy) and returns SIMPLEREGION, COMPLEXREGION or NULLREGION.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
// Frees a bitmap, brush, font or region. FALSE with ERROR_INVALID_HANDLE for an unknown handle,
// and FALSE, leaving it alone, for an object selected into a context. Stock objects stay.
BOOL DeleteObject(HGDIOBJ ho);
// For a bitmap: fills a BITMAP (cbBuffer at least its size) and returns the bytes written; with
// lpvObject NULL returns the size needed. 0 for an unknown handle or a short buffer.
int GetObjectA(HANDLE h, int c, LPVOID pv);

#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define SYSTEM_FONT 13
#define DEFAULT_GUI_FONT 17
// A stock object; NULL for an index the layer does not have.
HGDIOBJ GetStockObject(int i);

// ---- Device contexts -------------------------------------------------------------------------

// A memory context with a 1 x 1 placeholder bitmap selected; hdc is not needed (any or NULL).
HDC CreateCompatibleDC(HDC hdc);
// Frees a memory context; the bitmap selected into it is free to go into another one.
// FALSE with ERROR_INVALID_HANDLE for an unknown handle or a context of a window
// (ReleaseDC/EndPaint end those).
BOOL DeleteDC(HDC hdc);
// Saves the context's colours, mode, objects and clip region on its stack: returns the new depth
// (1 for the first save), 0 for an unknown context.
int SaveDC(HDC hdc);
// Restores the state saved at depth nSavedDC (a negative value counts back from the top, -1 the
// last save) and drops it and every later save. FALSE for an unknown context or depth.
BOOL RestoreDC(HDC hdc, int nSavedDC);

// ---- Bitmaps ---------------------------------------------------------------------------------

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // positive: bottom-up rows; negative: top-down
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

#define BI_RGB 0u
#define DIB_RGB_COLORS 0u

// A 32-bit, BI_RGB section whose pixels the caller reaches through *ppvBits: rows of
// 4 * width bytes, the first row in memory the bottom one for a positive biHeight, the top one
// for a negative biHeight. The pixels start zero. NULL with ERROR_INVALID_PARAMETER for another
// format, a zero or too large size, or no ppvBits; hSection must be NULL.
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits,
                         HANDLE hSection, DWORD offset);
// A 32-bit bitmap of cx x cy pixels, zero (transparent black). NULL with ERROR_INVALID_PARAMETER
// for a zero, negative or too large size.
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);

// Not Win32: decodes a PNG file into a top-down 32-bit section with premultiplied pixels, and
// tells in *hasAlpha (when given) whether the image has transparency: such an image is drawn
// with AlphaBlend (AC_SRC_ALPHA), one without is copied with BitBlt. NULL with
// ERROR_FILE_NOT_FOUND when the file cannot be read, ERROR_INVALID_DATA when it does not decode.
HBITMAP PalLoadPngA(LPCSTR path, BOOL* hasAlpha);

// ---- Blits -----------------------------------------------------------------------------------

#define SRCCOPY 0x00CC0020u

// Copies a rectangle of the source context onto the destination, pixel for pixel (alpha
// included). Only SRCCOPY is available (FALSE with ERROR_NOT_SUPPORTED otherwise). The parts of
// the source outside its bitmap are not drawn. FALSE with ERROR_INVALID_HANDLE for an unknown
// context.
BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);
// As BitBlt, scaling the source rectangle to the destination's by nearest pixel: destination
// pixel i takes the source pixel under its centre, at (i + 0.5) * wSrc / wDest, the left (upper)
// one when that falls on the boundary between two; so halving keeps pixels 0, 2, 4 ... FALSE with
// ERROR_INVALID_PARAMETER for negative extents.
BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc,
                int ySrc, int wSrc, int hSrc, DWORD rop);

#define AC_SRC_OVER 0x00
#define AC_SRC_ALPHA 0x01

struct BLENDFUNCTION {
    BYTE BlendOp;
    BYTE BlendFlags;
    BYTE SourceConstantAlpha;
    BYTE AlphaFormat;
};

// Source-over of a (scaled) source rectangle. With AC_SRC_ALPHA the source is premultiplied and
// its alpha counts; without it the source is taken as opaque. The rounding, per channel, with
// c = SourceConstantAlpha and round(v) = v rounded to the nearest integer:
//   s' = round(s * c / 255) for every channel of the source, alpha included (s' = s when c = 255)
//   d' = s' + round(d * (255 - a') / 255), a' the alpha of s'
// FALSE with ERROR_INVALID_PARAMETER for a BlendOp other than AC_SRC_OVER, non-zero BlendFlags,
// negative extents, or a source rectangle that is not inside the source bitmap.
BOOL AlphaBlend(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc,
                int xoriginSrc, int yoriginSrc, int wSrc, int hSrc, BLENDFUNCTION ftn);
// Copies (and scales, by nearest pixel) the source rectangle, leaving the destination where the
// source pixel's colour is crTransparent. FALSE with ERROR_INVALID_PARAMETER for negative or
// zero extents.
BOOL TransparentBlt(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc,
                    int xoriginSrc, int yoriginSrc, int wSrc, int hSrc, UINT crTransparent);

// ---- Brushes ---------------------------------------------------------------------------------

#define COLOR_SCROLLBAR 0
#define COLOR_BACKGROUND 1
#define COLOR_MENU 4
#define COLOR_WINDOWTEXT 8
#define COLOR_BTNFACE 15
#define COLOR_BTNTEXT 18
// COLOR_WINDOW is in pal/window.h.

// The colour of a system colour index (COLOR_*); 0 for an unknown index.
DWORD GetSysColor(int nIndex);
HBRUSH CreateSolidBrush(COLORREF color);
// Fills the rectangle (right and bottom exclusive) with the brush's colour, opaquely. hbr may be
// a brush or a system colour index plus one (as class brushes are given). FALSE with
// ERROR_INVALID_HANDLE for an unknown context or brush.
int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr);

// ---- Icons -----------------------------------------------------------------------------------

#define DI_MASK 0x0001u
#define DI_IMAGE 0x0002u
#define DI_NORMAL 0x0003u
#define DI_DEFAULTSIZE 0x0008u

// Not Win32: an icon from a PNG file, its pixels blended with their alpha when drawn. NULL with
// ERROR_FILE_NOT_FOUND or ERROR_INVALID_DATA as PalLoadPngA.
HICON PalLoadIconPngA(LPCSTR path);
// The icon's size in *cx, *cy; FALSE for an unknown icon.
BOOL PalGetIconSize(HICON hIcon, int* cx, int* cy);
BOOL DestroyIcon(HICON hIcon);
// Draws the icon at its own size.
BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon);
// Draws the icon scaled to cxWidth x cyWidth (0: its own size). istepIfAniCur and
// hbrFlickerFreeDraw are not used; diFlags must contain DI_IMAGE (DI_NORMAL) for anything to be
// drawn.
BOOL DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth,
                UINT istepIfAniCur, HBRUSH hbrFlickerFreeDraw, UINT diFlags);

// ---- Regions ---------------------------------------------------------------------------------

#define ERROR 0
#define NULLREGION 1
#define SIMPLEREGION 2
#define COMPLEXREGION 3
#define RGN_AND 1
#define RGN_OR 2
#define RGN_XOR 3
#define RGN_DIFF 4
#define RGN_COPY 5

// The pixels from x1, y1 to x2, y2, right and bottom exclusive (the corners in either order).
HRGN CreateRectRgn(int x1, int y1, int x2, int y2);
// A rectangle with elliptic corners of w x h (each at most the rectangle's size): the pixels from
// x1, y1 to x2 - 1, y2 - 1, right and bottom exclusive, whose centres lie inside the rounded
// shape. So (0, 0, width + 1, height + 1) covers a window of width x height but its corners.
HRGN CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h);
// Sets hrgnDst to the combination of the sources (hrgnSrc2 unused for RGN_COPY); returns the
// result's type, ERROR for an unknown region or mode.
int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode);
BOOL PtInRegion(HRGN hrgn, int x, int y);
// The smallest rectangle around the region; returns its type (ERROR for an unknown region).
int GetRgnBox(HRGN hrgn, LPRECT lprc);
// Sets the context's clip region to a copy of hrgn, in the context's coordinates (NULL: no
// clip beyond the context's own). Returns the type of the region now clipped to, ERROR for an
// unknown context or region.
int SelectClipRgn(HDC hdc, HRGN hrgn);

// ---- Text ------------------------------------------------------------------------------------

#define TRANSPARENT 1
#define OPAQUE 2

#define FW_NORMAL 400
#define FW_BOLD 700
#define DEFAULT_CHARSET 1u
#define GB2312_CHARSET 134u
#define LF_FACESIZE 32

struct LOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
};

// Background mode (OPAQUE fills the text's cell with the background colour first, TRANSPARENT
// does not): returns the previous mode, 0 for an unknown context or mode.
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
// Return the previous colour, CLR_INVALID for an unknown context.
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF SetTextColor(HDC hdc, COLORREF color);

// A font of the given face (narrow GBK text), height (negative: character height in pixels;
// positive: cell height; 0: the default 12 pixels), weight and italic flag; the other arguments
// are accepted and not used. Every face is drawn with a face that has Chinese glyphs ("MS Shell
// Dlg", "SimSun" and the default font included).
HFONT CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                  DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                  DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily,
                  LPCSTR pszFaceName);
HFONT CreateFontIndirectA(const LOGFONTA* lplf);

// Draws c bytes of narrow (GBK) text with the context's font and text colour, the top-left of
// its cell at x, y; in OPAQUE mode the cell is filled with the background colour first. FALSE
// for an unknown context.
BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c);
// The size of the text's cell: its advance width and the font's line height. FALSE for an
// unknown context.
BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl);
