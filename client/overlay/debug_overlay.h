// The debug overlay: numbered lines of the movie's debug texts drawn straight onto the screen's
// context, over every window, in the top-left corner. GUI thread only; no lock.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

class CDebugOverlay {
public:
    static constexpr size_t kMaxLines = 31;
    static constexpr int kLeft = 10;
    static constexpr int kTop = 10;
    static constexpr int kRowHeight = 20;

    // Appends "N:text" (N the count of lines accepted before) and draws every held line at
    // (10, 10 + 20 i). An empty text is ignored. When the 32nd line pushes out the oldest, the
    // transparent mode invalidates every window so that they repaint over the old rows; the
    // opaque mode leaves what it drew before wherever a new text is shorter.
    void ShowDebugText(const std::string& text, bool transparent);

    const std::deque<std::string>& Lines() const { return lines_; }

private:
    std::deque<std::string> lines_;
    uint32_t counter_ = 0;  // never reset; a 32-bit count, shown as a signed number
};

// The process's one overlay: the main window's ShowDebugText draws through it.
void ShowDebugText(const std::string& text, bool transparent);
