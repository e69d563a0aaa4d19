// The record of one top-level window in the runtime root's window registry: one file per window,
// <root>/hwnd/<handle in 16 hex digits>, holding the fields below as texts, each ended by a NUL
// (class names and titles hold no NUL), after the format's tag "pal-window-1":
//
//     pal-window-1 \0 handle (16 hex digits) \0 process id \0 process start time \0
//     thread id \0 creation time (ns) \0 class name \0 title \0
//
// Numbers are decimal except the handle. The process id with its start time tells whether the
// window's process still runs; the creation time orders the windows of all processes.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "windows.h"

namespace pal {

struct WindowEntry {
    uint64_t hwnd = 0;
    pid_t pid = 0;
    unsigned long long processStart = 0;
    DWORD threadId = 0;
    unsigned long long created = 0;
    std::string className;
    std::string title;

    bool operator==(const WindowEntry&) const = default;
};

std::string EncodeWindowEntry(const WindowEntry& entry);
// Nothing for a record that is not exactly of that form.
std::optional<WindowEntry> DecodeWindowEntry(std::string_view bytes);
// The record's file name: the handle in 16 lower-case hex digits.
std::string WindowEntryName(uint64_t hwnd);

}  // namespace pal
