// A movie of the Flash control's stand-in: a list of statements read from our own UTF-8 text
// format (README.md). The reader never throws and never partly loads: it gives the whole movie
// or the first error with its line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace flash {

// An ExternalInterface call: the request XML sent as the FlashCall event.
struct Call {
    std::string request;
};
struct Wait {
    uint32_t ms;
};
// Repeats the request every `everyMs` until the text of its reply (ReplyText, request_xml.h)
// equals that of `until`, or `limitMs` pass.
struct Poll {
    uint32_t everyMs;
    uint32_t limitMs;
    std::string until;
    std::string request;
};
struct Label {
    int32_t x, y;
    std::string text;
};
// Shows the reply of the request, made every `everyMs`.
struct LiveLabel {
    int32_t x, y;
    uint32_t everyMs;
    std::string request;
};
// Makes the call when clicked inside its rectangle.
struct Button {
    int32_t x, y, width, height;
    std::string text;
    std::string request;
};
struct End {};

using Statement = std::variant<Call, Wait, Poll, Label, LiveLabel, Button, End>;

struct Movie {
    std::vector<Statement> statements;
    // The stage the statements' coordinates are on, which the scale mode fits into the
    // control's area; 0 x 0 when the movie names none: the stage is the area, unscaled.
    int32_t stageWidth = 0, stageHeight = 0;
};

struct MovieError {
    int line = 0;  // 1-based; 0 for the file as a whole
    std::string message;
};

struct MovieLoad {
    bool ok = false;
    Movie movie;
    MovieError error;
};

// Limits that keep a hostile file from costing memory or time.
inline constexpr size_t kMaxMovieBytes = 1 << 20;
inline constexpr size_t kMaxStatements = 4096;
inline constexpr uint32_t kMaxMilliseconds = 24u * 60 * 60 * 1000;

MovieLoad ParseMovie(std::string_view text);
MovieLoad ReadMovieFile(const std::string& path);

// "line N: message", or "message" for the whole file.
std::string DescribeError(const MovieError& error);

}  // namespace flash
