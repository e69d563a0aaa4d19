// Creating and destroying windows; what a handle names.
#include <unistd.h>

#include "control/control_server.h"
#include "desktop/activation.h"
#include "desktop/desktop_model.h"
#include "draw/screen.h"
#include "window/paint_source.h"
#include "window/sent_messages.h"
#include "window/timer_source.h"
#include "window/ui_thread.h"
#include "window/window_class.h"
#include "window/window_handle.h"
#include "window/window_object.h"
#include "window/window_publish.h"
#include "window/window_registry.h"
#include "x11/presenter.h"

namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

HWND Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

// CW_USEDEFAULT: an overlapped window gets the default position and size (the y and the height
// that go with them are then ignored); any other window gets 0.
RECT Placement(bool overlapped, int x, int y, int width, int height) {
    if (x == CW_USEDEFAULT) {
        x = 0;
        if (overlapped) {
            y = 0;
        }
    }
    if (width == CW_USEDEFAULT) {
        width = overlapped ? kDefaultWidth : 0;
        if (overlapped) {
            height = kDefaultHeight;
        }
    }
    y = y == CW_USEDEFAULT ? 0 : y;
    height = height == CW_USEDEFAULT ? 0 : height;
    width = width < 0 ? 0 : width;
    height = height < 0 ? 0 : height;
    return RECT{x, y, x + width, y + height};
}

// The window is gone: out of every table, its posted messages and timers dropped.
void Finish(const std::shared_ptr<pal::Window>& window) {
    if (!window->messageOnly && !pal::Desktop::Get().Parent(window->hwnd)) {
        pal::draw::SaveScreenFile();  // the last picture with the window in it
    }
    window->SetState(pal::Window::State::kGone);
    pal::RemoveWindowObject(window->hwnd);
    pal::Desktop::Get().Remove(window->hwnd);
    window->thread->paint->Remove(window->hwnd);
    window->thread->timers->KillWindowTimers(window->hwnd);
    window->thread->queue->RemoveWindowMessages(window->hwnd);
    pal::Unpublish(*window);
}

// A child of this thread is destroyed here; one of another thread on its own thread, which this
// one waits for as for a sent message (handling what is sent to it meanwhile). A child whose
// thread ends first goes with that thread, without messages.
void DestroyChild(HWND child) {
    auto window = pal::FindWindowObject(child);
    if (!window) {
        return;  // destroyed meanwhile
    }
    if (window->threadId == GetCurrentThreadId()) {
        DestroyWindow(child);
        return;
    }
    LRESULT ignored = 0;
    pal::SendAcrossThreads(
        window, WM_NULL, 0, 0, [child] { return DestroyWindow(child); }, &ignored);
}

bool StillCreating(const std::shared_ptr<pal::Window>& window) {
    return window->GetState() == pal::Window::State::kCreating;
}

// After WM_CREATE the window learns its first size and place, as from any later move: WM_SIZE
// with the client area's size (SIZE_MINIMIZED and 0 for a window made minimised), then WM_MOVE
// with the client area's origin.
void SendCreationPlace(const std::shared_ptr<pal::Window>& window, DWORD style) {
    RECT rect = window->Rect();
    if (style & WS_MINIMIZE) {
        pal::CallWindowProcedure(window, WM_SIZE, SIZE_MINIMIZED, 0);
    } else {
        pal::CallWindowProcedure(window, WM_SIZE, SIZE_RESTORED,
                                 MAKELPARAM(rect.right - rect.left, rect.bottom - rect.top));
    }
    if (StillCreating(window)) {
        pal::CallWindowProcedure(window, WM_MOVE, 0, MAKELPARAM(rect.left, rect.top));
    }
}

}  // namespace

// Differs from Windows: the title is set before WM_NCCREATE, not by DefWindowProcA; creation
// sends WM_NCCREATE, WM_CREATE, then WM_SIZE and WM_MOVE (not to a message-only window), and a
// visible top-level window is then activated; there is no frame, so the client area is the whole
// window. The parent of a child or owned window must be a window of this process that is not
// message-only (ERROR_NOT_SUPPORTED otherwise). A top-level window that cannot be published in
// the runtime root fails the creation with that error (ERROR_PATH_NOT_FOUND without a root).
HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X,
                     int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                     HINSTANCE hInstance, LPVOID lpParam) {
    bool messageOnly = hWndParent == HWND_MESSAGE;
    bool child = hWndParent && !messageOnly && (dwStyle & WS_CHILD);
    HWND owner = nullptr;
    if (hWndParent && !messageOnly) {
        auto parent = pal::FindWindowObject(hWndParent);
        if (!parent) {
            return Fail(IsWindow(hWndParent) ? ERROR_NOT_SUPPORTED : ERROR_INVALID_WINDOW_HANDLE);
        }
        if (parent->messageOnly) {
            return Fail(ERROR_NOT_SUPPORTED);
        }
        // An owned window's owner is the top-level window of the window named.
        owner = child ? nullptr : pal::Desktop::Get().Root(hWndParent);
    }
    if (!hWndParent && (dwStyle & WS_CHILD)) {
        return Fail(ERROR_TLW_WITH_WSCHILD);
    }
    auto windowClass = pal::FindWindowClass(lpClassName, hInstance);
    if (!windowClass) {
        return Fail(ERROR_CANNOT_FIND_WND_CLASS);
    }
    auto thread = pal::CurrentUiThread();
    if (!thread) {
        return Fail(ERROR_INVALID_THREAD_ID);  // the thread is being torn down
    }
    pal::Window::Params params;
    if (!messageOnly && !child) {
        params.root = PalRuntimeDir();
        if (params.root.empty()) {
            return Fail(ERROR_PATH_NOT_FOUND);
        }
    }
    bool overlapped = !messageOnly && !(dwStyle & (WS_POPUP | WS_CHILD));
    params.hwnd = pal::NewWindowHandle();
    params.windowClass = windowClass;
    params.thread = thread;
    params.messageOnly = messageOnly;
    params.style = dwStyle;
    params.exStyle = dwExStyle;
    params.instance = hInstance;
    params.child = child;
    params.id = child ? static_cast<int>(reinterpret_cast<intptr_t>(hMenu)) : 0;
    params.rect = Placement(overlapped, X, Y, nWidth, nHeight);
    params.title = lpWindowName ? lpWindowName : "";
    auto window = std::make_shared<pal::Window>(std::move(params));
    HWND hwnd = window->hwnd;
    pal::AddWindowObject(window);
    if (!messageOnly) {
        pal::Desktop::Get().Add(hwnd, child ? hWndParent : nullptr, owner);
    }
    thread->paint->Add(window);

    RECT rect = window->Rect();
    CREATESTRUCTA create{lpParam,
                         hInstance,
                         hMenu,
                         hWndParent,
                         rect.bottom - rect.top,
                         rect.right - rect.left,
                         rect.top,
                         rect.left,
                         static_cast<LONG>(dwStyle),
                         lpWindowName,
                         lpClassName,
                         dwExStyle};
    auto createParam = reinterpret_cast<LPARAM>(&create);
    if (!pal::CallWindowProcedure(window, WM_NCCREATE, 0, createParam)) {
        if (StillCreating(window)) {
            pal::CallWindowProcedure(window, WM_NCDESTROY, 0, 0);
            Finish(window);
        }
        return nullptr;
    }
    if (!StillCreating(window)) {
        return nullptr;  // the procedure destroyed it
    }
    if (pal::CallWindowProcedure(window, WM_CREATE, 0, createParam) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!messageOnly && StillCreating(window)) {
        SendCreationPlace(window, dwStyle);
    }
    if (!StillCreating(window)) {
        return nullptr;
    }
    window->SetState(pal::Window::State::kLive);
    if (DWORD error = pal::Publish(*window)) {
        DestroyWindow(hwnd);
        return Fail(error);
    }
    if (!window->root.empty()) {
        pal::control::ServeIn(window->root);  // the desktop can be driven from now on
    }
    if ((dwStyle & WS_VISIBLE) && !messageOnly) {
        window->InvalidateAll(true);
        pal::present::Current().Shown(hwnd);
        if (!child && !(dwStyle & (WS_MINIMIZE | WS_DISABLED))) {
            pal::Activate(hwnd);
        }
    }
    return hwnd;
}

// Differs from Windows: called again from WM_DESTROY or WM_NCDESTROY it returns TRUE and sends
// nothing; a thread that ends drops its windows without messages.
BOOL DestroyWindow(HWND hWnd) {
    auto window = pal::FindWindowObject(hWnd);
    if (!window) {
        SetLastError(IsWindow(hWnd) ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (window->threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (window->GetState() == pal::Window::State::kDestroying) {
        return TRUE;  // called again from its WM_DESTROY or WM_NCDESTROY
    }
    window->SetState(pal::Window::State::kDestroying);
    window->thread->timers->KillWindowTimers(hWnd);
    if (!window->messageOnly) {
        pal::LeaveActivation(hWnd);
        for (HWND owned : pal::Desktop::Get().OwnedBy(hWnd)) {
            DestroyWindow(owned);
        }
    }
    pal::CallWindowProcedure(window, WM_DESTROY, 0, 0);
    // Children go after their parent's WM_DESTROY and before its WM_NCDESTROY.
    if (!window->messageOnly) {
        for (HWND child : pal::Desktop::Get().Children(hWnd)) {
            DestroyChild(child);
        }
    }
    pal::CallWindowProcedure(window, WM_NCDESTROY, 0, 0);
    Finish(window);
    return TRUE;
}

// Differs from Windows: a message-only window of another process is not known here.
BOOL IsWindow(HWND hWnd) {
    if (pal::FindWindowObject(hWnd)) {
        return TRUE;
    }
    return pal::FindForeignWindow(hWnd) ? TRUE : FALSE;
}

// Differs from Windows: another process's message-only windows are unknown; its thread ids are its
// layer's own.
DWORD GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
    if (auto window = pal::FindWindowObject(hWnd)) {
        if (lpdwProcessId) {
            *lpdwProcessId = static_cast<DWORD>(getpid());
        }
        return window->threadId;
    }
    if (auto entry = pal::FindForeignWindow(hWnd)) {
        if (lpdwProcessId) {
            *lpdwProcessId = static_cast<DWORD>(entry->pid);
        }
        return entry->threadId;
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
}
