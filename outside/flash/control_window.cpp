// The control's window: it fetches and plays the movie on its thread, paints the background
// colour and the movie's labels and buttons, takes clicks and shows the context menu.
#include <algorithm>
#include <mutex>

#include "flash_control.h"
#include "request_xml.h"
#include "text_convert.h"

namespace flash {
namespace {

constexpr char kWindowClass[] = "FlashControlWindow";
constexpr UINT kMsgFetchProgress = WM_USER + 1;  // wParam the fetch, lParam the percentage
constexpr UINT kMsgFetchDone = WM_USER + 2;      // wParam the fetch
constexpr UINT_PTR kStepTimer = 1;
constexpr UINT_PTR kRetryDoneTimer = 2;  // a fetch ended while a FlashCall was out

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
    font_ =
        CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Shell Dlg");
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

void FlashControl::OnClick(int x, int y) {
    if (player_ == nullptr || inFlashCall_)
        return;
    if (player_->Click(x, y, NowMs())) {
        Flush();
        if (hwnd_ != nullptr)
            InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

// The control's own context menu.
void FlashControl::OnContextMenu(int x, int y) {
    if (!menu_)
        return;
    transcript_.Note("context menu at " + std::to_string(x) + ", " + std::to_string(y));
}

void FlashControl::Flush() {
    if (player_ == nullptr)
        return;
    const std::vector<TranscriptEntry>& entries = player_->Transcript();
    for (; written_ < entries.size(); ++written_) transcript_.Entry(entries[written_]);
}

void FlashControl::Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc == nullptr)
        return;
    RECT client{};
    GetClientRect(hwnd, &client);
    Fill(dc, client.left, client.top, client.right, client.bottom, bgColor_);
    if (player_ != nullptr) {
        HGDIOBJ oldFont = SelectObject(dc, font_);
        SetBkMode(dc, TRANSPARENT);
        for (const ShownItem& item : player_->Shown()) {
            std::string text = Utf8ToNarrow(item.live ? ReplyText(item.text) : item.text);
            if (!item.button) {
                SetTextColor(dc, TextColourOn(bgColor_));
                TextOutA(dc, item.x, item.y, text.data(), int(text.size()));
                continue;
            }
            const int right = item.x + item.width, bottom = item.y + item.height;
            Fill(dc, item.x, item.y, right, bottom, RGB(0x50, 0x50, 0x50));
            Fill(dc, item.x + 1, item.y + 1, right - 1, bottom - 1, RGB(0xE0, 0xE0, 0xE0));
            SIZE size{};
            GetTextExtentPoint32A(dc, text.data(), int(text.size()), &size);
            SetTextColor(dc, RGB(0, 0, 0));
            TextOutA(dc, item.x + (item.width - size.cx) / 2, item.y + (item.height - size.cy) / 2,
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
