// The main window's skin repaint: an 822 x 621 window whose paint handler draws the
// installation's skin pictures with the skin classes (DrawSkinFrame, as the main window's
// OnPaint does), through the platform layer's drawing. Measured: a repaint of the whole window,
// and a button's hover repaint (its SetState invalidates only its rectangle, then the window
// repaints), each beside the yardstick: the same pictures composited with cairo directly onto a
// surface of the window's size, all of it or clipped to the button.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <filesystem>
#include <string>
#include <vector>

#include "main_dlg_window.h"
#include "skin_frame.h"
#include "skin_layout.h"
#include "windows.h"

namespace {

const std::string kSkinDir = BRDJ_SKIN_DIR;

struct Skin {
    Skin() {
        std::string base = std::filesystem::path(kSkinDir).parent_path().string() + "/";
        CSkinImage* strips[] = {&left, &right, &top, &bottom};
        const char* files[] = {"Left.png", "Right.png", "Top.png", "Bottom.png"};
        for (int i = 0; i < 4; ++i) {
            strips[i]->SetBasePath(base);
            loaded = strips[i]->Load(files[i]) && loaded;
        }
        const char* names[] = {"BtnClose", "BtnMin", "BtnHelp", "BtnFeedback"};
        const RECT places[] = {skin_layout::kClose, skin_layout::kMin, skin_layout::kHelp,
                               skin_layout::kFeedback};
        for (int i = 0; i < 4; ++i) {
            buttons[i].Load(base, names[i]);
            buttons[i].SetRect(places[i]);
        }
    }
    SkinFrame Frame() {
        return SkinFrame{
            &left, &right, &top, &bottom, {&buttons[0], &buttons[1], &buttons[2], &buttons[3]}};
    }
    CSkinImage left, right, top, bottom;
    CSkinButton buttons[4];
    bool loaded = true;
};

Skin& TheSkin() {
    static Skin* skin = new Skin;
    return *skin;
}

HWND g_window = nullptr;

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    DrawSkinFrame(dc, TheSkin().Frame());
    EndPaint(hwnd, &paint);
    return 0;
}

HWND MainWindow() {
    if (!g_window) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.lpszClassName = "MainWindowBench";
        RegisterClassA(&windowClass);
        g_window = CreateWindowExA(0, "MainWindowBench", "", WS_POPUP | WS_VISIBLE, 0, 0,
                                   skin_layout::kWindowWidth, skin_layout::kWindowHeight, nullptr,
                                   nullptr, nullptr, nullptr);
        UpdateWindow(g_window);
    }
    return g_window;
}

bool Ready(benchmark::State& state) {
    if (!TheSkin().loaded) {
        state.SkipWithError("the skin pictures are missing (build the target brdj_skin)");
        return false;
    }
    if (!MainWindow()) {
        state.SkipWithError("no window (is the runtime root writable?)");
        return false;
    }
    return true;
}

void BM_SkinWholeWindow(benchmark::State& state) {
    if (!Ready(state))
        return;
    for (auto _ : state) {
        InvalidateRect(g_window, nullptr, TRUE);
        UpdateWindow(g_window);
    }
}
BENCHMARK(BM_SkinWholeWindow);

// Each iteration is one change of look: hover on, then hover off, alternately.
void BM_SkinButtonHover(benchmark::State& state) {
    if (!Ready(state))
        return;
    CSkinButton& close = TheSkin().buttons[0];
    int look = SKIN_STATE_HOVER;
    for (auto _ : state) {
        close.SetState(look, 0);
        UpdateWindow(g_window);
        look = look == SKIN_STATE_HOVER ? SKIN_STATE_NORMAL : SKIN_STATE_HOVER;
    }
}
BENCHMARK(BM_SkinButtonHover);

// The yardsticks: the same pictures composited with cairo alone.
void CairoComposite(benchmark::State& state, const RECT* part) {
    struct Picture {
        cairo_surface_t* surface;
        RECT place;
        bool alpha;
    };
    std::vector<Picture> pictures = {
        {nullptr, skin_layout::kLeft, false}, {nullptr, skin_layout::kRight, false},
        {nullptr, skin_layout::kTop, false},  {nullptr, skin_layout::kBottom, false},
        {nullptr, skin_layout::kClose, true}, {nullptr, skin_layout::kMin, true},
        {nullptr, skin_layout::kHelp, true},  {nullptr, skin_layout::kFeedback, true}};
    const char* files[] = {"Left.png",      "Right.png",   "Top.png",      "Bottom.png",
                           "BtnCloseN.png", "BtnMinN.png", "BtnHelpN.png", "BtnFeedbackN.png"};
    for (size_t i = 0; i < pictures.size(); ++i) {
        pictures[i].surface =
            cairo_image_surface_create_from_png((kSkinDir + "/" + files[i]).c_str());
        if (cairo_surface_status(pictures[i].surface) != CAIRO_STATUS_SUCCESS) {
            state.SkipWithError("the skin pictures are missing (build the target brdj_skin)");
        }
    }
    cairo_surface_t* window = cairo_image_surface_create(
        CAIRO_FORMAT_RGB24, skin_layout::kWindowWidth, skin_layout::kWindowHeight);
    while (state.KeepRunning()) {
        cairo_t* cr = cairo_create(window);
        if (part) {
            cairo_rectangle(cr, part->left, part->top, skin_layout::Width(*part),
                            skin_layout::Height(*part));
            cairo_clip(cr);
        }
        for (const Picture& p : pictures) {
            cairo_set_operator(cr, p.alpha ? CAIRO_OPERATOR_OVER : CAIRO_OPERATOR_SOURCE);
            cairo_set_source_surface(cr, p.surface, p.place.left, p.place.top);
            cairo_rectangle(cr, p.place.left, p.place.top, skin_layout::Width(p.place),
                            skin_layout::Height(p.place));
            cairo_fill(cr);
        }
        cairo_destroy(cr);
        cairo_surface_flush(window);
        benchmark::DoNotOptimize(cairo_image_surface_get_data(window));
    }
    cairo_surface_destroy(window);
    for (const Picture& p : pictures) cairo_surface_destroy(p.surface);
}

void BM_CairoWholeWindow(benchmark::State& state) {
    CairoComposite(state, nullptr);
}
BENCHMARK(BM_CairoWholeWindow);

void BM_CairoOneButton(benchmark::State& state) {
    CairoComposite(state, &skin_layout::kClose);
}
BENCHMARK(BM_CairoOneButton);

}  // namespace

HWND GetMainDlgWindow() {
    return g_window;
}
