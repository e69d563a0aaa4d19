// The control's window: it fetches and plays the movie on its thread, paints the background
// colour and the movie's labels and buttons, takes clicks and shows the context menu.
#include <algorithm>
#include <cmath>
#include <mutex>

#include "flash_control.h"
#include "movie_folder.h"
#include "request_xml.h"
#include "stage_layout.h"
#include "text_convert.h"

namespace flash {
namespace {

constexpr char kWindowClass[] = "FlashControlWindow";
constexpr UINT kMsgFetchProgress = WM_USER + 1;  // wParam the fetch, lParam the percentage
constexpr UINT kMsgFetchDone = WM_USER + 2;      // wParam the fetch
constexpr UINT_PTR kStepTimer = 1;
constexpr UINT_PTR kRetryDoneTimer = 2;  // a fetch ended while a FlashCall was out
constexpr int kFontHeight = 12;          // on the stage, in pixels
constexpr UINT kMenuScaleBase = 1;       // the context menu's item of scale mode M is M + this

LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* control = reinterpret_cast<FlashControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (control == nullptr)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    return control->OnMessage(hwnd, msg, wParam, lParam);
}

bool RegisterWindowClass() {
    static std::once_flag once;
    static bool registered = false;
    std::call_once(once, [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ControlProc;
        wc.lpszClassName = kWindowClass;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        registered = RegisterClassA(&wc) != 0;
    });
    return registered;
}

// Black or white, whichever reads better on the background.
COLORREF TextColourOn(COLORREF background) {
    int light =
        GetRValue(background) * 299 + GetGValue(background) * 587 + GetBValue(background) * 114;
    return light > 128000 ? RGB(0, 0, 0) : RGB(255, 255, 255);
}

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    RECT r{left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

}  // namespace

HRESULT STDMETHODCALLTYPE FlashControl::CreateControlWindow(HWND parent, const RECT* rect, UINT id,
                                                            HWND* phwnd) {
    if (phwnd != nullptr)
        *phwnd = nullptr;
    if (rect == nullptr || phwnd == nullptr)
        return E_POINTER;
    if (hwnd_ != nullptr)
        return E_UNEXPECTED;
    if (!RegisterWindowClass())
        return E_FAIL;
    HWND hwnd = CreateWindowExA(0, kWindowClass, "", WS_CHILD | WS_VISIBLE, rect->left, rect->top,
                                rect->right - rect->left, rect->bottom - rect->top, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, this);
    if (hwnd == nullptr)
        return HRESULT_FROM_WIN32(GetLastError());
    hwnd_ = hwnd;
    *phwnd = hwnd;
    if (!movie_.empty())
        StartFetch();
    return S_OK;
}

void FlashControl::StartFetch() {
    const uint64_t generation = ++generation_;
    progressFired_ = -1;
    fetch_.reset();
    {
        std::lock_guard<std::mutex> lock(fetchLock_);
        fetched_.reset();
    }
    HWND hwnd = hwnd_;
    fetch_ = std::make_unique<MovieFetch>(
        movie_,
        [hwnd, generation](int percent) {
            PostMessageA(hwnd, kMsgFetchProgress, WPARAM(generation), LPARAM(percent));
        },
        [this, hwnd, generation](FetchResult result) {
            {
                std::lock_guard<std::mutex> lock(fetchLock_);
                fetched_ = std::move(result);
            }
            PostMessageA(hwnd, kMsgFetchDone, WPARAM(generation), 0);
        });
}

void FlashControl::OnFetchProgress(WPARAM generation, LPARAM percent) {
    if (generation != generation_ || int(percent) <= progressFired_)
        return;
    progressFired_ = int(percent);
    FireNumberEvent(kEventProgress, LONG(percent));
}

void FlashControl::OnFetchDone(WPARAM generation) {
    if (generation != generation_)
        return;
    if (inFlashCall_) {  // the player is in use below this message
        SetTimer(hwnd_, kRetryDoneTimer, USER_TIMER_MINIMUM, nullptr);
        return;
    }
    KillTimer(hwnd_, kRetryDoneTimer);
    std::optional<FetchResult> fetched;
    {
        std::lock_guard<std::mutex> lock(fetchLock_);
        fetched.swap(fetched_);
    }
    if (!fetched)
        return;
    fetch_.reset();
    player_.reset();
    KillTimer(hwnd_, kStepTimer);
    InvalidateRect(hwnd_, nullptr, TRUE);
    if (!fetched->ok) {
        transcript_.Note("movie " + movie_ + " not loaded: " + fetched->error);
        return;
    }
    MovieLoad load = ParseMovie(fetched->text);
    if (!load.ok) {
        transcript_.Note("movie " + movie_ + " not loaded: " + DescribeError(load.error));
        return;
    }
    PlaceMovieFolder(&load.movie, MovieFolder(movie_));
    transcript_.Note("movie " + movie_ + " loaded");
    player_ =
        std::make_unique<MoviePlayer>(std::move(load.movie), static_cast<CallHost*>(this), NowMs());
    written_ = 0;
    FireNumberEvent(kEventReadyStateChange, kReadyStateComplete);
    OnStep();
}

void FlashControl::Schedule(std::optional<uint64_t> dueMs) {
    if (hwnd_ == nullptr)
        return;
    if (!dueMs) {
        KillTimer(hwnd_, kStepTimer);
        return;
    }
    uint64_t now = NowMs();
    uint64_t delay = *dueMs > now ? *dueMs - now : 0;
    SetTimer(hwnd_, kStepTimer, UINT(std::max<uint64_t>(USER_TIMER_MINIMUM, delay)), nullptr);
}

void FlashControl::OnStep() {
    if (player_ == nullptr || hwnd_ == nullptr)
        return;
    if (inFlashCall_) {  // the call below reschedules when it returns
        KillTimer(hwnd_, kStepTimer);
        return;
    }
    std::optional<uint64_t> due = player_->Step(NowMs());
    Flush();
    if (hwnd_ == nullptr)  // a handler destroyed the window
        return;
    InvalidateRect(hwnd_, nullptr, TRUE);
    Schedule(due);
}

StageLayout FlashControl::Layout() const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int32_t width = client.right - client.left, height = client.bottom - client.top;
    if (player_ == nullptr || player_->StageWidth() == 0)
        return LayOutStage(scaleMode_, width, height, width, height);
    return LayOutStage(scaleMode_, player_->StageWidth(), player_->StageHeight(), width, height);
}

void FlashControl::OnClick(int x, int y) {
    if (player_ == nullptr || inFlashCall_)
        return;
    const StageLayout layout = Layout();
    if (player_->Click(layout.StageX(x), layout.StageY(y), NowMs())) {
        Flush();
        if (hwnd_ != nullptr)
            InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

// The control's own context menu at a point of its area: the scale modes, the current one
// checked. The choice (or its dismissal) goes to the transcript.
void FlashControl::OnContextMenu(int x, int y) {
    if (!menu_ || hwnd_ == nullptr)
        return;
    HMENU menu = CreatePopupMenu();
    for (const ScaleModeName& s : kScaleModeNames)
        AppendMenuA(menu, MF_STRING | (s.mode == scaleMode_ ? MF_CHECKED : 0),
                    UINT_PTR(s.mode) + kMenuScaleBase, s.shown);
    POINT at{x, y};
    ClientToScreen(hwnd_, &at);
    AddRef();  // the menu's loop dispatches messages: the container may let the control go
    const UINT chosen =
        UINT(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr));
    DestroyMenu(menu);
    std::string what = "dismissed";
    for (const ScaleModeName& s : kScaleModeNames) {
        if (chosen != UINT(s.mode) + kMenuScaleBase)
            continue;
        what = std::string(s.shown) + " chosen";
        scaleMode_ = s.mode;
        if (hwnd_ != nullptr)
            InvalidateRect(hwnd_, nullptr, TRUE);
    }
    transcript_.Note("context menu at " + std::to_string(x) + ", " + std::to_string(y) + ": " +
                     what);
    Release();
}

HFONT FlashControl::FontOfHeight(int height) {
    height = std::max(height, 1);
    if (font_ == nullptr || fontHeight_ != height) {
        if (font_ != nullptr)
            DeleteObject(font_);
        font_ = CreateFontA(-height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                            "MS Shell Dlg");
        fontHeight_ = height;
    }
    return font_;
}

void FlashControl::Flush() {
    if (player_ == nullptr)
        return;
    const std::vector<TranscriptEntry>& entries = player_->Transcript();
    for (; written_ < entries.size(); ++written_) transcript_.Entry(entries[written_]);
}

// The background fills the whole area; the movie's items are drawn where the scale mode lays
// the stage out, their text scaled with the stage's height.
void FlashControl::Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc == nullptr)
        return;
    RECT client{};
    GetClientRect(hwnd, &client);
    Fill(dc, client.left, client.top, client.right, client.bottom, bgColor_);
    if (player_ != nullptr) {
        const StageLayout layout = Layout();
        HGDIOBJ oldFont =
            SelectObject(dc, FontOfHeight(int(std::lround(kFontHeight * layout.scaleY))));
        SetBkMode(dc, TRANSPARENT);
        for (const ShownItem& item : player_->Shown()) {
            std::string text = Utf8ToNarrow(item.live ? ReplyText(item.text) : item.text);
            const int left = layout.AreaX(item.x), top = layout.AreaY(item.y);
            if (!item.button) {
                SetTextColor(dc, TextColourOn(bgColor_));
                TextOutA(dc, left, top, text.data(), int(text.size()));
                continue;
            }
            const int right = layout.AreaX(item.x + item.width);
            const int bottom = layout.AreaY(item.y + item.height);
            Fill(dc, left, top, right, bottom, RGB(0x50, 0x50, 0x50));
            Fill(dc, left + 1, top + 1, right - 1, bottom - 1, RGB(0xE0, 0xE0, 0xE0));
            SIZE size{};
            GetTextExtentPoint32A(dc, text.data(), int(text.size()), &size);
            SetTextColor(dc, RGB(0, 0, 0));
            TextOutA(dc, left + (right - left - size.cx) / 2, top + (bottom - top - size.cy) / 2,
                     text.data(), int(text.size()));
        }
        SelectObject(dc, oldFont);
    }
    EndPaint(hwnd, &ps);
}

LRESULT FlashControl::OnMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT:
            Paint(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT fills the whole area
        case WM_TIMER:
            if (wParam == kStepTimer)
                OnStep();
            else if (wParam == kRetryDoneTimer)
                OnFetchDone(WPARAM(generation_));
            return 0;
        case kMsgFetchProgress:
            OnFetchProgress(wParam, lParam);
            return 0;
        case kMsgFetchDone:
            OnFetchDone(wParam);
            return 0;
        case WM_LBUTTONDOWN:
            OnClick(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_RBUTTONDOWN:
            return 0;
        case WM_RBUTTONUP:
            OnContextMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_DESTROY:
            KillTimer(hwnd, kStepTimer);
            KillTimer(hwnd, kRetryDoneTimer);
            fetch_.reset();
            hwnd_ = nullptr;
            return 0;
        default:
            return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace flash
