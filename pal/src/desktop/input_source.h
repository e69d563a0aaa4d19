// The input of one thread: the pointer and key events the input entry routed to its windows,
// turned into messages when the thread takes them (after its posted messages, before paint), and
// the key state as of the last one it took (GetKeyState), and its last press (double clicks).
#pragma once

#include <bitset>
#include <deque>
#include <mutex>

#include "window/message_queue.h"

namespace pal {

struct InputEvent {
    enum class Kind { kPointer, kButton, kKey };
    Kind kind = Kind::kPointer;
    HWND target = nullptr;  // the window it was routed to
    UINT key = 0;           // VK_LBUTTON, VK_RBUTTON or a key
    bool down = false;
    bool repeat = false;  // a key press while the key was down already
    POINT point{0, 0};    // screen
    DWORD time = 0;
};

class InputSource : public MessageSource {
public:
    void Push(const InputEvent& event);
    // Whether the key was down as of the last event the thread took (as it is now when no
    // event waits).
    bool KeyDown(UINT key);
    // The pointer's screen position as of the last event the thread took.
    POINT LastPoint();

    bool Take(const MessageFilter& filter, bool remove, MSG* msg,
              std::optional<WakeTime>* wakeAt) override;

private:
    struct Press {
        HWND hwnd = nullptr;
        UINT key = 0;
        POINT point{0, 0};
        DWORD time = 0;
    };
    bool MouseMessage(const InputEvent& event, bool remove, MSG* msg);
    UINT ClickMessage(const InputEvent& event, HWND hwnd, bool client, bool remove);
    WPARAM MouseFlags(const InputEvent& event);

    std::mutex lock_;
    std::deque<InputEvent> events_;
    std::bitset<256> keysDown_;
    Press lastPress_;
    POINT lastPoint_{0, 0};
};

}  // namespace pal
