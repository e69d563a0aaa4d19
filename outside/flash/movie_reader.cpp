#include <charconv>
#include <sstream>

#include "movie.h"
#include "movie_fetch.h"
#include "request_xml.h"

namespace flash {
namespace {

const char kHeader[] = "brdj-movie 1";

std::string_view Trim(std::string_view s) {
    size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    size_t last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

// Takes the next blank-separated word off the front of `rest`.
std::string_view Word(std::string_view* rest) {
    std::string_view s = Trim(*rest);
    size_t end = s.find_first_of(" \t");
    std::string_view word = s.substr(0, end);
    *rest = end == std::string_view::npos ? std::string_view{} : s.substr(end);
    return word;
}

template <typename T>
bool Number(std::string_view* rest, T* value, T low, T high) {
    std::string_view word = Word(rest);
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), *value);
    return !word.empty() && ec == std::errc() && end == word.data() + word.size() &&
           *value >= low && *value <= high;
}

bool Milliseconds(std::string_view* rest, uint32_t* value) {
    return Number<uint32_t>(rest, value, 0, kMaxMilliseconds);
}
bool Coordinate(std::string_view* rest, int32_t* value) {
    return Number<int32_t>(rest, value, -32768, 32767);
}

// Splits "left | right" at the first " | ".
bool SplitBar(std::string_view rest, std::string* left, std::string* right) {
    size_t bar = rest.find(" | ");
    if (bar == std::string_view::npos)
        return false;
    *left = std::string(Trim(rest.substr(0, bar)));
    *right = std::string(Trim(rest.substr(bar + 3)));
    return !left->empty();
}

// Reads one statement; returns an error message, or "" on success.
std::string ParseStatement(std::string_view keyword, std::string_view rest, Statement* out) {
    std::string request;
    if (keyword == "call") {
        request = std::string(Trim(rest));
        *out = Call{request};
    } else if (keyword == "wait") {
        Wait w{};
        if (!Milliseconds(&rest, &w.ms) || !Trim(rest).empty())
            return "wait needs one number of milliseconds";
        *out = w;
        return "";
    } else if (keyword == "poll") {
        Poll p{};
        if (!Milliseconds(&rest, &p.everyMs) || p.everyMs == 0 || !Milliseconds(&rest, &p.limitMs))
            return "poll needs an interval above 0 and a time limit in milliseconds";
        if (!SplitBar(rest, &p.until, &p.request))
            return "poll needs a reply, \" | \" and a call";
        request = p.request;
        *out = p;
    } else if (keyword == "label") {
        Label l{};
        if (!Coordinate(&rest, &l.x) || !Coordinate(&rest, &l.y))
            return "label needs a position x y";
        l.text = std::string(Trim(rest));
        *out = l;
        return "";
    } else if (keyword == "live") {
        LiveLabel l{};
        if (!Coordinate(&rest, &l.x) || !Coordinate(&rest, &l.y) ||
            !Milliseconds(&rest, &l.everyMs) || l.everyMs == 0)
            return "live needs a position x y and an interval above 0";
        request = l.request = std::string(Trim(rest));
        *out = l;
    } else if (keyword == "button") {
        Button b{};
        if (!Coordinate(&rest, &b.x) || !Coordinate(&rest, &b.y) || !Coordinate(&rest, &b.width) ||
            !Coordinate(&rest, &b.height) || b.width <= 0 || b.height <= 0)
            return "button needs a rectangle x y width height";
        if (!SplitBar(rest, &b.text, &b.request))
            return "button needs a text, \" | \" and a call";
        request = b.request;
        *out = b;
    } else if (keyword == "end") {
        if (!Trim(rest).empty())
            return "end takes nothing";
        *out = End{};
        return "";
    } else {
        return "unknown statement \"" + std::string(keyword) + "\"";
    }
    return CheckRequestXml(request);
}

// "stage WIDTH HEIGHT", once in a movie.
std::string ParseStage(std::string_view rest, Movie* movie) {
    if (movie->stageWidth != 0)
        return "stage is given twice";
    int32_t width = 0, height = 0;
    if (!Coordinate(&rest, &width) || !Coordinate(&rest, &height) || width <= 0 || height <= 0 ||
        !Trim(rest).empty())
        return "stage needs a width and a height above 0";
    movie->stageWidth = width;
    movie->stageHeight = height;
    return "";
}

MovieLoad Failure(int line, std::string message) {
    MovieLoad load;
    load.error = {line, std::move(message)};
    return load;
}

}  // namespace

MovieLoad ParseMovie(std::string_view text) {
    if (text.size() > kMaxMovieBytes)
        return Failure(0, "the movie is larger than 1 MiB");
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    if (text.find('\0') != std::string_view::npos)
        return Failure(0, "the movie is not text");
    MovieLoad load;
    int number = 0;
    bool header = false;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        if (line.empty() || line[0] == '#')
            continue;
        if (!header) {
            if (line != kHeader)
                return Failure(number, "the first line must be \"brdj-movie 1\"");
            header = true;
            continue;
        }
        if (load.movie.statements.size() == kMaxStatements)
            return Failure(number, "more than 4096 statements");
        std::string_view rest = line;
        std::string_view keyword = Word(&rest);
        if (keyword == "stage") {
            std::string error = ParseStage(rest, &load.movie);
            if (!error.empty())
                return Failure(number, error);
            continue;
        }
        Statement statement;
        std::string error = ParseStatement(keyword, rest, &statement);
        if (!error.empty())
            return Failure(number, error);
        load.movie.statements.push_back(std::move(statement));
    }
    if (!header)
        return Failure(0, "the movie is empty");
    load.ok = true;
    return load;
}

MovieLoad ReadMovieFile(const std::string& path) {
    std::atomic<bool> never{false};
    FetchResult read = ReadMovieSource(path, nullptr, never);
    if (!read.ok)
        return Failure(0, read.error);
    return ParseMovie(read.text);
}

std::string DescribeError(const MovieError& error) {
    if (error.line == 0)
        return error.message;
    return "line " + std::to_string(error.line) + ": " + error.message;
}

}  // namespace flash
