#include "control/control_requests.h"

#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstring>
#include <exception>
#include <optional>
#include <vector>

#include "control/control_readers.h"
#include "control/control_text.h"
#include "desktop/desktop_model.h"
#include "window/window_class.h"
#include "window/window_object.h"

namespace pal::control {
namespace {

// Screen points are what a mouse message's lParam carries: 16-bit signed coordinates.
constexpr long long kMinCoordinate = SHRT_MIN;
constexpr long long kMaxCoordinate = SHRT_MAX;

struct Request {
    std::vector<std::string> words;  // after the command's name
    std::string rest;                // the text after the command's name, as it came
};

// The data lines of an answer, or the reason it failed.
struct Result {
    std::string lines;
    std::string error;
};

Result Fail(std::string reason) {
    return Result{{}, std::move(reason)};
}

std::optional<POINT> ParsePoint(const std::string& x, const std::string& y) {
    auto px = ParseNumber(x, kMinCoordinate, kMaxCoordinate);
    auto py = ParseNumber(y, kMinCoordinate, kMaxCoordinate);
    if (!px || !py) {
        return std::nullopt;
    }
    return POINT{static_cast<LONG>(*px), static_cast<LONG>(*py)};
}

std::optional<UINT> ParseButton(const std::string& word) {
    if (word == "left") {
        return VK_LBUTTON;
    }
    if (word == "right") {
        return VK_RBUTTON;
    }
    return std::nullopt;
}

struct KeyName {
    const char* name;
    UINT key;
};
constexpr KeyName kKeyNames[] = {
    {"back", VK_BACK},     {"tab", VK_TAB},       {"return", VK_RETURN}, {"enter", VK_RETURN},
    {"shift", VK_SHIFT},   {"control", VK_CONTROL}, {"alt", VK_MENU},    {"escape", VK_ESCAPE},
    {"space", VK_SPACE},   {"left", VK_LEFT},     {"up", VK_UP},         {"right", VK_RIGHT},
    {"down", VK_DOWN},     {"delete", VK_DELETE},
};

// A key's name, a letter or digit (its virtual key), or a virtual key's number.
std::optional<UINT> ParseKey(const std::string& word) {
    for (const KeyName& named : kKeyNames) {
        if (word == named.name) {
            return named.key;
        }
    }
    if (word.size() == 1 && std::isalnum(static_cast<unsigned char>(word[0]))) {
        return static_cast<UINT>(std::toupper(static_cast<unsigned char>(word[0])));
    }
    if (auto number = ParseNumber(word, VK_BACK, 0xFE)) {
        return static_cast<UINT>(*number);
    }
    return std::nullopt;
}

Result Ping(const Request&) {
    char program[256] = {};
    ssize_t n = readlink("/proc/self/exe", program, sizeof program - 1);
    std::string name = n > 0 ? std::string(program, static_cast<size_t>(n)) : std::string();
    name = name.substr(name.find_last_of('/') + 1);
    return Result{"process pid=" + std::to_string(getpid()) + " program=" + Quoted(name) + "\n",
                  {}};
}

Result Move(const Request& request) {
    auto point = ParsePoint(request.words[0], request.words[1]);
    if (!point) {
        return Fail("bad point " + request.rest);
    }
    PalInputPointer(point->x, point->y);
    return {};
}

// down, up and click: BUTTON X Y.
Result Button(const Request& request, bool press, bool release) {
    auto button = ParseButton(request.words[0]);
    if (!button) {
        return Fail("bad button \"" + request.words[0] + "\" (left or right)");
    }
    auto point = ParsePoint(request.words[1], request.words[2]);
    if (!point) {
        return Fail("bad point " + request.words[1] + " " + request.words[2]);
    }
    if (press) {
        PalInputButton(*button, TRUE, point->x, point->y);
    }
    if (release) {
        PalInputButton(*button, FALSE, point->x, point->y);
    }
    return {};
}

Result Down(const Request& request) { return Button(request, true, false); }
Result Up(const Request& request) { return Button(request, false, true); }
Result Click(const Request& request) { return Button(request, true, true); }

Result Key(const Request& request) {
    const std::string& how = request.words[0];
    bool press = how == "down" || how == "press";
    bool release = how == "up" || how == "press";
    if (!press && !release) {
        return Fail("bad key action \"" + how + "\" (down, up or press)");
    }
    auto key = ParseKey(request.words[1]);
    if (!key) {
        return Fail("bad key \"" + request.words[1] + "\"");
    }
    if (press) {
        PalInputKey(*key, TRUE);
    }
    if (release) {
        PalInputKey(*key, FALSE);
    }
    return {};
}

Result Windows(const Request&) {
    std::string lines;
    for (HWND hwnd : Desktop::Get().Children(nullptr)) {
        auto window = FindWindowObject(hwnd);
        if (!window) {
            continue;  // destroyed since the list was taken
        }
        lines += "window hwnd=" + HandleText(hwnd) + " class=" + Quoted(window->windowClass->name) +
                 " text=" + Quoted(window->Title()) + " rect=" + RectText(window->Rect()) +
                 " visible=" + (IsWindowVisible(hwnd) ? "1" : "0") + "\n";
    }
    return Result{lines, {}};
}

// The file is written by this process, whose folder is not the caller's: only a full path.
std::optional<std::string> CheckPath(const std::string& path) {
    if (path.empty() || path[0] != '/') {
        return "the path must be absolute";
    }
    return std::nullopt;
}

Result SaveScreen(const Request& request) {
    if (auto wrong = CheckPath(request.rest)) {
        return Fail(*wrong);
    }
    if (!PalSaveScreenPngA(request.rest.c_str())) {
        return Fail("cannot write " + Quoted(request.rest));
    }
    return {};
}

Result SaveWindow(const Request& request) {
    auto hwnd = ParseHandle(request.words[0]);
    if (!hwnd || !DesktopWindow(*hwnd) || Desktop::Get().Parent(*hwnd)) {
        return Fail("no top-level window " + request.words[0]);
    }
    std::string path = request.rest.substr(request.words[0].size());
    path.erase(0, path.find_first_not_of(' '));
    if (auto wrong = CheckPath(path)) {
        return Fail(*wrong);
    }
    if (!PalSaveWindowPngA(*hwnd, path.c_str())) {
        return Fail("cannot write " + Quoted(path));
    }
    return {};
}

Result FromReader(std::optional<std::string> lines, const char* what) {
    if (!lines) {
        return Fail(std::string("nothing here reports ") + what);
    }
    return Result{*lines, {}};
}

Result Menu(const Request&) { return FromReader(MenuLines(), "popup menus"); }
Result Tray(const Request&) { return FromReader(TrayLines(), "notification-area icons"); }
Result Boxes(const Request&) { return FromReader(MessageBoxLines(), "message boxes"); }

struct Command {
    const char* name;
    const char* usage;  // the arguments
    size_t minWords;
    size_t maxWords;  // SIZE_MAX: a path that may hold spaces ends the line
    Result (*run)(const Request&);
};

constexpr Command kCommands[] = {
    {"ping", "", 0, 0, Ping},
    {"move", "X Y", 2, 2, Move},
    {"down", "left|right X Y", 3, 3, Down},
    {"up", "left|right X Y", 3, 3, Up},
    {"click", "left|right X Y", 3, 3, Click},
    {"key", "down|up|press KEY", 2, 2, Key},
    {"windows", "", 0, 0, Windows},
    {"save-screen", "PATH", 1, SIZE_MAX, SaveScreen},
    {"save-window", "HWND PATH", 2, SIZE_MAX, SaveWindow},
    {"menu", "", 0, 0, Menu},
    {"tray", "", 0, 0, Tray},
    {"boxes", "", 0, 0, Boxes},
};

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    size_t at = 0;
    while ((at = text.find_first_not_of(' ', at)) != std::string::npos) {
        size_t end = text.find(' ', at);
        words.push_back(text.substr(at, end == std::string::npos ? end : end - at));
        at = end;
    }
    return words;
}

// Requests are printable text: a control byte (a NUL, say) is refused rather than cut at.
bool Printable(const std::string& line) {
    for (unsigned char c : line) {
        if (c < 0x20 || c == 0x7F) {
            return false;
        }
    }
    return true;
}

Result Run(const std::string& line) {
    if (!Printable(line)) {
        return Fail("the request holds a control character");
    }
    std::vector<std::string> words = Words(line);
    if (words.empty()) {
        return Fail("empty request");
    }
    for (const Command& command : kCommands) {
        if (words[0] != command.name) {
            continue;
        }
        Request request;
        request.words.assign(words.begin() + 1, words.end());
        size_t start = line.find(words[0]) + words[0].size();
        request.rest = line.substr(line.find_first_not_of(' ', start) == std::string::npos
                                       ? line.size()
                                       : line.find_first_not_of(' ', start));
        if (request.words.size() < command.minWords || request.words.size() > command.maxWords) {
            return Fail(std::string("usage: ") + command.name +
                        (*command.usage ? " " : "") + command.usage);
        }
        return command.run(request);
    }
    return Fail("unknown request \"" + words[0] + "\"");
}

}  // namespace

std::string Answer(const std::string& line) {
    Result result;
    try {
        result = Run(line);
    } catch (const std::exception& error) {
        result = Fail(std::string("failed: ") + error.what());
    } catch (...) {
        result = Fail("failed");
    }
    if (!result.error.empty()) {
        return result.lines + "ERR " + result.error + "\n";
    }
    return result.lines + "OK\n";
}

}  // namespace pal::control
