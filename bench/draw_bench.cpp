// The main window's paint: an 822 x 621 window made of four opaque frame strips (left, right,
// top, bottom) and four 28 x 25 alpha buttons, drawn as its paint handler draws them (BeginPaint,
// per image a memory context with the image selected, BitBlt for the opaque strips, AlphaBlend
// for the buttons, EndPaint), beside the yardstick: the same images composited onto an 822 x 621
// surface with cairo directly. Measured: the whole window's repaint, and the repaint of one
// invalidated button (the handler draws everything; the layer clips to the button), each beside
// cairo compositing the same part.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstdint>
#include <vector>

#include "windows.h"

namespace {

constexpr int kWidth = 822, kHeight = 621;

struct Placed {
    RECT rect;  // where it goes; its size is the image's
    bool alpha;
};

// The frame strips and the buttons, as the main window places them.
const Placed kImages[] = {
    {{0, 0, 4, 621}, false},     {{818, 0, 822, 621}, false}, {{0, 0, 822, 37}, false},
    {{0, 617, 822, 621}, false}, {{790, 6, 818, 31}, true},   {{760, 6, 788, 31}, true},
    {{730, 6, 758, 31}, true},   {{700, 6, 728, 31}, true},
};
const RECT kButton = kImages[4].rect;

int Width(const RECT& r) {
    return r.right - r.left;
}
int Height(const RECT& r) {
    return r.bottom - r.top;
}

// A top-down section with a pattern: opaque, or premultiplied with alpha varying over it.
HBITMAP MakeImage(const Placed& placed, uint32_t** bits) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER),
                      Width(placed.rect),
                      -Height(placed.rect),
                      1,
                      32,
                      BI_RGB,
                      0,
                      0,
                      0,
                      0,
                      0};
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    *bits = static_cast<uint32_t*>(memory);
    for (int i = 0; i < Width(placed.rect) * Height(placed.rect); ++i) {
        const uint32_t a = placed.alpha ? static_cast<uint32_t>(i * 7 % 256) : 255;
        const uint32_t c = (i * 13 % 256) * a / 255;
        (*bits)[i] = a << 24 | c << 16 | c << 8 | c;
    }
    return bitmap;
}

struct Images {
    Images() {
        for (const Placed& placed : kImages) {
            uint32_t* bits = nullptr;
            bitmaps.push_back(MakeImage(placed, &bits));
            const int w = Width(placed.rect), h = Height(placed.rect);
            surfaces.push_back(cairo_image_surface_create_for_data(
                reinterpret_cast<unsigned char*>(bits), CAIRO_FORMAT_ARGB32, w, h, w * 4));
        }
    }
    ~Images() {
        for (cairo_surface_t* s : surfaces) cairo_surface_destroy(s);
        for (HBITMAP b : bitmaps) DeleteObject(b);
    }
    std::vector<HBITMAP> bitmaps;
    std::vector<cairo_surface_t*> surfaces;
};

Images& TheImages() {
    static Images* images = new Images;
    return *images;
}

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    Images& images = TheImages();
    for (size_t i = 0; i < std::size(kImages); ++i) {
        const RECT& r = kImages[i].rect;
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, images.bitmaps[i]);
        if (kImages[i].alpha) {
            AlphaBlend(dc, r.left, r.top, Width(r), Height(r), memory, 0, 0, Width(r), Height(r),
                       BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
        } else {
            BitBlt(dc, r.left, r.top, Width(r), Height(r), memory, 0, 0, SRCCOPY);
        }
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    EndPaint(hwnd, &paint);
    return 0;
}

HWND MainWindow() {
    static HWND hwnd = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.lpszClassName = "DrawBenchWindow";
        RegisterClassA(&windowClass);
        return CreateWindowExA(0, "DrawBenchWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth,
                               kHeight, nullptr, nullptr, nullptr, nullptr);
    }();
    return hwnd;
}

void Repaint(benchmark::State& state, const RECT* part) {
    HWND hwnd = MainWindow();
    if (!hwnd) {
        state.SkipWithError("no window (is the runtime root writable?)");
        return;
    }
    for (auto _ : state) {
        InvalidateRect(hwnd, part, FALSE);
        UpdateWindow(hwnd);
    }
}

void BM_LayerWholeWindow(benchmark::State& state) {
    Repaint(state, nullptr);
}
BENCHMARK(BM_LayerWholeWindow);

void BM_LayerOneButton(benchmark::State& state) {
    Repaint(state, &kButton);
}
BENCHMARK(BM_LayerOneButton);

// The yardsticks: the same images onto an opaque surface of the window's size with cairo alone,
// all of it, or clipped to the invalidated button (the least any repaint of it must composite).
void CairoComposite(benchmark::State& state, const RECT* part) {
    Images& images = TheImages();
    cairo_surface_t* window = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    for (auto _ : state) {
        cairo_t* cr = cairo_create(window);
        if (part) {
            cairo_rectangle(cr, part->left, part->top, Width(*part), Height(*part));
            cairo_clip(cr);
        }
        for (size_t i = 0; i < std::size(kImages); ++i) {
            const RECT& r = kImages[i].rect;
            cairo_set_operator(cr, kImages[i].alpha ? CAIRO_OPERATOR_OVER : CAIRO_OPERATOR_SOURCE);
            cairo_set_source_surface(cr, images.surfaces[i], r.left, r.top);
            cairo_rectangle(cr, r.left, r.top, Width(r), Height(r));
            cairo_fill(cr);
        }
        cairo_destroy(cr);
        cairo_surface_flush(window);
        benchmark::DoNotOptimize(cairo_image_surface_get_data(window));
    }
    cairo_surface_destroy(window);
}

void BM_CairoWholeWindow(benchmark::State& state) {
    CairoComposite(state, nullptr);
}
BENCHMARK(BM_CairoWholeWindow);

void BM_CairoOneButton(benchmark::State& state) {
    CairoComposite(state, &kButton);
}
BENCHMARK(BM_CairoOneButton);

}  // namespace
