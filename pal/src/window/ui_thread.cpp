#include "window/ui_thread.h"

#include <mutex>
#include <unordered_map>

#include "desktop/desktop_model.h"
#include "desktop/input_source.h"
#include "draw/screen.h"
#include "window/paint_source.h"
#include "window/sent_messages.h"
#include "window/timer_source.h"
#include "window/window_object.h"
#include "window/window_publish.h"

namespace pal {
namespace {

struct UiThreadTable {
    std::mutex lock;
    std::unordered_map<DWORD, std::shared_ptr<UiThread>> threads;
};

UiThreadTable& Table() {
    static UiThreadTable* table = new UiThreadTable;  // outlives every static destructor
    return *table;
}

// Runs when the thread's queue closes, on the closing thread.
void EndUiThread(DWORD id) {
    std::shared_ptr<UiThread> ended;
    {
        UiThreadTable& table = Table();
        std::lock_guard<std::mutex> guard(table.lock);
        auto it = table.threads.find(id);
        if (it == table.threads.end()) {
            return;
        }
        ended = std::move(it->second);
        table.threads.erase(it);
    }
    ended->timers->Clear();
    if (OldestTopLevelWindowOf(id)) {
        draw::SaveScreenFile();  // the last picture with the thread's windows in it
    }
    for (const auto& window : RemoveWindowsOfThread(id)) {
        window->SetState(Window::State::kGone);
        Desktop::Get().Remove(window->hwnd);
        ended->paint->Remove(window->hwnd);
        Unpublish(*window);
    }
    // After the windows are gone, so that a sender answered here finds them gone (a parent
    // destroyed on another thread goes on without its child of this thread).
    ended->sent->Close();
}

}  // namespace

std::shared_ptr<UiThread> ExistingUiThread() {
    UiThreadTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.threads.find(GetCurrentThreadId());
    return it == table.threads.end() ? nullptr : it->second;
}

std::shared_ptr<UiThread> CurrentUiThread() {
    if (auto existing = ExistingUiThread()) {
        return existing;
    }
    auto queue = CurrentThreadQueue();
    if (!queue) {
        return nullptr;
    }
    auto made = std::make_shared<UiThread>();
    made->id = GetCurrentThreadId();
    made->queue = queue;
    made->sent = std::make_shared<SentMessages>();
    made->input = std::make_shared<InputSource>();
    made->paint = std::make_shared<PaintSource>();
    made->timers = std::make_shared<TimerSource>();
    queue->AddSource(made->sent, MessageSource::Stage::kBeforePosted);
    queue->AddSource(made->input, MessageSource::Stage::kAfterQuit);
    queue->AddSource(made->paint, MessageSource::Stage::kAfterQuit);
    queue->AddSource(made->timers, MessageSource::Stage::kAfterQuit);
    {
        UiThreadTable& table = Table();
        std::lock_guard<std::mutex> guard(table.lock);
        table.threads[made->id] = made;
    }
    // After the entry exists, so that a queue closed meanwhile (TerminateThread) removes it.
    DWORD id = made->id;
    queue->AddCloseHook([id] { EndUiThread(id); });
    return made;
}

}  // namespace pal
