#include "frame_hit_code.h"

LRESULT FrameHitCode(const RECT& window, POINT p) {
    bool inside = p.x >= window.left && p.x < window.right && p.y >= window.top + 1 &&
                  p.y < window.bottom - 1;
    return inside ? HTCLIENT : HTCLOSE;
}
