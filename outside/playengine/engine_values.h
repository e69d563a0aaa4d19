// Everything the engine knows, kept together under the engine's lock: the open item, its clock,
// and the values that the commands set and the play object reads.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "play_blocks.h"
#include "play_clock.h"
#include "wav_info.h"

// Play-state numbers of the play object and of QueryStatus.
constexpr int PE_STATE_NONE = 0;     // no item open
constexpr int PE_STATE_STOPPED = 1;  // an item is open and stands, after Open, Stop or its end
constexpr int PE_STATE_PAUSED = 2;
constexpr int PE_STATE_PLAYING = 3;

constexpr int PE_VOLUME_MIN = 0;
constexpr int PE_VOLUME_MAX = 100;
constexpr int PE_VOLUME_DEFAULT = 100;
// Buffering progress of an open local file: the whole file is at hand.
constexpr int PE_BUFFER_COMPLETE = 100;
// The item's format in the play object's int array: format tag, channels, sample rate, byte
// rate, block align, bits per sample, data bytes (at most INT32_MAX).
constexpr int PE_DATA_COUNT = 7;

// The four texts of the request, itemText1 to itemText4, as the play object's texts A to D.
constexpr int PE_TEXT_COUNT = 4;

struct EngineItem {
    std::string path;
    std::string text[PE_TEXT_COUNT];
    int number = 0;  // the request's itemNumber
    int extra = 0;   // the request's itemExtra
    WavInfo info;
};

struct EngineValues {
    int state = PE_STATE_NONE;
    PlayClock clock;
    EngineItem item;  // meaningful while state is not PE_STATE_NONE
    std::array<int, PE_DATA_COUNT> data{};
    int volume = PE_VOLUME_DEFAULT;
    BYTE flag = 0;
    int numberA = 0;
    int numberB = 0;
    int numberC = 0;
    int numberD = 0;
    int numberE = 0;
    PlayBlock block;
};

// The play position in whole milliseconds.
inline int PositionMs(const EngineValues& values, PlayClock::Clock::time_point now) {
    return static_cast<int>(values.clock.PositionUs(now) / 1000);
}
// The buffering progress: complete for an open local file, nothing without an item.
inline int BufferProgress(const EngineValues& values) {
    return values.state == PE_STATE_NONE ? 0 : PE_BUFFER_COMPLETE;
}
