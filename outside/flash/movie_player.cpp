#include "movie_player.h"

#include <algorithm>

#include "request_xml.h"

namespace flash {

namespace {

// A request or reply on one line: its line ends (number replies end in CR LF) and backslashes
// written as C escapes.
std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

}  // namespace

std::string FormatTranscriptEntry(const TranscriptEntry& entry) {
    return "+" + std::to_string(entry.ms) + "ms " + OneLine(entry.request) + " -> " +
           (entry.reply ? OneLine(*entry.reply) : std::string("no reply"));
}

MoviePlayer::MoviePlayer(Movie movie, CallHost* host, uint64_t startMs)
    : movie_(std::move(movie)), host_(host), startMs_(startMs), scriptDueMs_(startMs) {}

std::optional<std::string> MoviePlayer::MakeCall(const std::string& request, uint64_t nowMs) {
    inCall_ = true;
    std::optional<std::string> reply = host_->FlashCall(request);
    inCall_ = false;
    transcript_.push_back({nowMs - startMs_, request, reply});
    return reply;
}

// Runs script statements until one has to wait for a later time, or the movie ends.
void MoviePlayer::RunScript(uint64_t nowMs) {
    while (!Ended() && scriptDueMs_ <= nowMs) {
        const Statement& s = movie_.statements[next_];
        if (const auto* call = std::get_if<Call>(&s)) {
            MakeCall(call->request, nowMs);
        } else if (const auto* wait = std::get_if<Wait>(&s)) {
            scriptDueMs_ = nowMs + wait->ms;
            ++next_;
            return;
        } else if (const auto* poll = std::get_if<Poll>(&s)) {
            if (!polling_) {
                polling_ = true;
                pollLimitMs_ = nowMs + poll->limitMs;
            }
            std::optional<std::string> reply = MakeCall(poll->request, nowMs);
            const bool matched = reply && ReplyText(*reply) == ReplyText(poll->until);
            if (!matched && nowMs + poll->everyMs <= pollLimitMs_) {
                scriptDueMs_ = nowMs + poll->everyMs;
                return;
            }
            polling_ = false;
        } else if (const auto* label = std::get_if<Label>(&s)) {
            labels_.push_back(*label);
        } else if (const auto* live = std::get_if<LiveLabel>(&s)) {
            lives_.push_back({*live, nowMs, ""});
        } else if (const auto* button = std::get_if<Button>(&s)) {
            buttons_.push_back(*button);
        } else {
            next_ = movie_.statements.size();
            lives_.clear();
            return;
        }
        ++next_;
    }
}

std::optional<uint64_t> MoviePlayer::NextDue() const {
    std::optional<uint64_t> due;
    if (!Ended())
        due = scriptDueMs_;
    for (const Live& live : lives_) due = std::min(due.value_or(live.dueMs), live.dueMs);
    return due;
}

std::optional<uint64_t> MoviePlayer::Step(uint64_t nowMs) {
    if (inCall_)
        return NextDue();
    RunScript(nowMs);
    for (Live& live : lives_) {
        if (live.dueMs > nowMs)
            continue;
        live.shown = MakeCall(live.label.request, nowMs).value_or("");
        live.dueMs = nowMs + live.label.everyMs;
    }
    return NextDue();
}

bool MoviePlayer::Click(int32_t x, int32_t y, uint64_t nowMs) {
    if (inCall_)
        return false;
    for (const Button& b : buttons_) {
        if (x >= b.x && x < b.x + b.width && y >= b.y && y < b.y + b.height) {
            MakeCall(b.request, nowMs);
            return true;
        }
    }
    return false;
}

std::vector<ShownItem> MoviePlayer::Shown() const {
    std::vector<ShownItem> items;
    for (const Label& l : labels_) items.push_back({l.x, l.y, 0, 0, l.text, false});
    for (const Live& l : lives_)
        items.push_back({l.label.x, l.label.y, 0, 0, l.shown, false, true});
    for (const Button& b : buttons_) items.push_back({b.x, b.y, b.width, b.height, b.text, true});
    return items;
}

}  // namespace flash
