// Plays a movie: a state machine that its host steps on the GUI thread. Each Step makes at most
// the calls that are due, one at a time and never from inside another (a Step or Click made
// while a call is out does nothing). Every request goes to the transcript with its reply.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "movie.h"

namespace flash {

// The host fires the FlashCall event; the reply is what the handler set, if anything.
class CallHost {
public:
    virtual std::optional<std::string> FlashCall(const std::string& request) = 0;

protected:
    ~CallHost() = default;
};

struct TranscriptEntry {
    uint64_t ms;  // since the movie started
    std::string request;
    std::optional<std::string> reply;
};

// "+MSms REQUEST -> REPLY", REPLY being "no reply" when none was set; one line, whatever the
// texts hold: CR, LF and backslash are written "\r", "\n" and "\\".
std::string FormatTranscriptEntry(const TranscriptEntry& entry);

// What the control's area shows: labels, live labels with their last reply, buttons.
struct ShownItem {
    int32_t x, y, width, height;  // width and height 0 for labels
    std::string text;
    bool button;
    bool live = false;  // the text is the last reply of a live label's call
};

class MoviePlayer {
public:
    MoviePlayer(Movie movie, CallHost* host, uint64_t startMs);

    // Runs what is due at nowMs. Returns the time at which the next step is due, or nothing once
    // the movie has ended and no live label is left to poll.
    std::optional<uint64_t> Step(uint64_t nowMs);
    // A click at a point of the control's area: the button under it makes its call.
    // False when no button is there or a call is already out.
    bool Click(int32_t x, int32_t y, uint64_t nowMs);

    bool Ended() const { return next_ >= movie_.statements.size(); }
    // The movie's stage; 0 x 0 when it names none.
    int32_t StageWidth() const { return movie_.stageWidth; }
    int32_t StageHeight() const { return movie_.stageHeight; }
    const std::vector<TranscriptEntry>& Transcript() const { return transcript_; }
    std::vector<ShownItem> Shown() const;

private:
    struct Live {
        LiveLabel label;
        uint64_t dueMs;
        std::string shown;
    };
    std::optional<std::string> MakeCall(const std::string& request, uint64_t nowMs);
    void RunScript(uint64_t nowMs);
    std::optional<uint64_t> NextDue() const;

    Movie movie_;
    CallHost* host_;
    uint64_t startMs_;
    size_t next_ = 0;
    uint64_t scriptDueMs_;
    uint64_t pollLimitMs_ = 0;  // while the current statement is a poll: when it gives up
    bool polling_ = false;
    bool inCall_ = false;
    std::vector<Label> labels_;
    std::vector<Live> lives_;
    std::vector<Button> buttons_;
    std::vector<TranscriptEntry> transcript_;
};

}  // namespace flash
