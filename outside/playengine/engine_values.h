// Everything the engine knows, kept together under the engine's lock: the open item, where it
// stands, and the values that the commands set and the play object reads.
#pragma once

#include <windows.h>

#include <array>
#include <chrono>
#include <string>

#include "item_file.h"
#include "play_blocks.h"

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
// rate, block align, bits per sample, data bytes (at most INT32_MAX). Items that are not WAV
// files give the tag 0, their decoded channels and rate, and zeros.
constexpr int PE_DATA_COUNT = 7;

// The four texts of the request, itemText1 to itemText4, as the play object's texts A to D.
constexpr int PE_TEXT_COUNT = 4;

struct EngineItem {
    std::string uri;   // what the pipeline plays
    std::string path;  // a local file's path; empty for a stream
    FileIdentity identity;
    std::string text[PE_TEXT_COUNT];
    int number = 0;  // the request's itemNumber
    int extra = 0;   // the request's itemExtra
    int durationMs = 0;
    int sampleRate = 0;
    std::array<int, PE_DATA_COUNT> data{};
    bool Stream() const { return path.empty(); }
};

struct EngineValues {
    int state = PE_STATE_NONE;
    EngineItem item;  // meaningful while state is not PE_STATE_NONE
    // The position the play object shows, brought up to date before every read.
    int positionMs = 0;
    // Where a standing item starts playing, and where a paused one holds.
    int standingMs = 0;
    // After a seek the pipeline may still report the old place for a moment; until it reports
    // one that fits the seek, the position shown is the target.
    bool seekPending = false;
    int seekTargetMs = 0;
    std::chrono::steady_clock::time_point seekAt{};
    // A stream that plays but waits for its buffer to fill again.
    bool bufferingHold = false;
    int bufferPercent = 0;
    int volume = PE_VOLUME_DEFAULT;
    BYTE flag = 0;
    int numberA = 0;
    int numberB = 0;
    int numberC = 0;
    int numberD = 0;
    int numberE = 0;
    PlayBlock block;
};

// The buffering progress: complete for an open local file, the pipeline's for a stream,
// nothing without an item.
inline int BufferProgress(const EngineValues& values) {
    if (values.state == PE_STATE_NONE) {
        return 0;
    }
    return values.item.Stream() ? values.bufferPercent : PE_BUFFER_COMPLETE;
}
