// The control's transcript: one line per request with its reply (FormatTranscriptEntry), and
// the control's notes (a movie loaded or not and why, the context menu) as lines starting with
// "# ". To standard output, or appended to a file, each line written whole.
#pragma once

#include <string>

#include "movie_player.h"

namespace flash {

class Transcript {
public:
    // "" writes to standard output.
    explicit Transcript(std::string path) : path_(std::move(path)) {}
    void Entry(const TranscriptEntry& entry) { Line(FormatTranscriptEntry(entry)); }
    void Note(const std::string& text) { Line("# " + text); }

private:
    void Line(const std::string& line);
    std::string path_;
};

}  // namespace flash
