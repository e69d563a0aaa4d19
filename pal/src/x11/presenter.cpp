#include "x11/presenter.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "x11/x11_backend.h"

namespace pal::present {
namespace {

// Headless: the model and the surfaces are the whole desktop; nothing is shown elsewhere.
class Headless : public Presenter {
public:
    void Shown(HWND) override {}
    void Hidden(HWND) override {}
    void Minimized(HWND) override {}
    void Moved(HWND) override {}
    void Changed(HWND) override {}
    void Activated(HWND) override {}
    void Destroyed(HWND) override {}
    void Drew(HWND, const cairo_region_t*, const cairo_rectangle_int_t&) override {}
    void Present(HWND) override {}
    void CursorChanged(HCURSOR) override {}
    void NotifyIconsChanged() override {}
};

// The variable that forces a backend.
constexpr const char* kChoice = "PAL_DISPLAY";

Presenter* Choose() {
    const char* forced = std::getenv(kChoice);
    const std::string choice = forced ? forced : "";
    if (choice == "headless") {
        return nullptr;
    }
    const char* display = std::getenv("DISPLAY");
    if (choice != "x11" && !(display && *display)) {
        return nullptr;
    }
    Presenter* backend = x11::Backend::Open();
    if (!backend && choice == "x11") {
        std::fprintf(stderr, "pal: %s=x11, but the X display \"%s\" does not open; headless\n",
                     kChoice, display ? display : "");
    }
    return backend;
}

}  // namespace

Presenter& Current() {
    static Presenter* const chosen = Choose();
    static Headless* const headless = new Headless;  // windows may still go at exit
    return chosen ? *chosen : *headless;
}

bool OnX11() {
    return &Current() == x11::Get();
}

}  // namespace pal::present
