// CPoint, CSize and CRect: the layer's POINT, SIZE and RECT with the members the client uses.
// A rectangle's right and bottom edges are exclusive.
#pragma once

#include "windows.h"

class CPoint : public POINT {
public:
    CPoint() : POINT{0, 0} {}
    CPoint(int x0, int y0) : POINT{x0, y0} {}
    CPoint(POINT p) : POINT(p) {}
    // The point of a mouse message's lParam (signed coordinates).
    explicit CPoint(LPARAM lParam) : POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)} {}
    bool operator==(const CPoint& other) const { return x == other.x && y == other.y; }
};

class CSize : public SIZE {
public:
    CSize() : SIZE{0, 0} {}
    CSize(int cx0, int cy0) : SIZE{cx0, cy0} {}
};

class CRect : public RECT {
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& r) : RECT(r) {}

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CPoint TopLeft() const { return CPoint(left, top); }
    CSize Size() const { return CSize(Width(), Height()); }
    BOOL IsRectEmpty() const { return Width() <= 0 || Height() <= 0; }
    BOOL PtInRect(POINT p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    void SetRect(int l, int t, int r, int b) { *this = CRect(l, t, r, b); }
    void OffsetRect(int dx, int dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    // Moves the rectangle so its top-left corner is at x, y, keeping its size.
    void MoveToXY(int x, int y) { OffsetRect(x - left, y - top); }
    void DeflateRect(int l, int t, int r, int b) {
        left += l;
        top += t;
        right -= r;
        bottom -= b;
    }
    bool operator==(const CRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
};
