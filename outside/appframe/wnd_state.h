// The framework's per-thread window state: which object each window of the thread is attached
// to, the temporary objects FromHandle made, the object whose window is being created, and the
// message being handled (for Default). Windows belong to their creating thread, so this state is
// the thread's own.
#pragma once

#include <map>
#include <memory>

#include "windows.h"

class CWnd;

namespace appframe {

struct WndThreadState {
    std::map<HWND, CWnd*> permanent;
    std::map<HWND, std::unique_ptr<CWnd>> temporary;
    CWnd* creating = nullptr;
    MSG current{};
};

WndThreadState& ThisThread();

// Makes msg the current message until the object goes, then restores the one before it.
class CurrentMessage {
public:
    CurrentMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    ~CurrentMessage();
    CurrentMessage(const CurrentMessage&) = delete;
    CurrentMessage& operator=(const CurrentMessage&) = delete;

private:
    MSG saved_;
};

}  // namespace appframe
