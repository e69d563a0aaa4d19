// The checks a local item passes before the pipeline reads it: it must be a regular file that
// opens for reading (a pipe, socket or device would block or never end, so it fails at once),
// and a file that calls itself WAV must have a PCM header that holds together. The identity
// tells a later Play whether the file is still the one that was opened.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

#include "wav_info.h"

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long mtimeSec = 0;
    long mtimeNsec = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of a regular file that opens for reading; nothing for anything else. Never
// blocks: the file is opened without waiting and only after it is known to be regular.
std::optional<FileIdentity> CheckLocalFile(const std::string& path);

enum class WavGate {
    NotWav,  // not a RIFF/WAVE file: the pipeline decides what it is
    Ok,      // a PCM WAV file whose header holds together; `info` is filled
    Bad,     // a RIFF/WAVE file that is not PCM or whose header does not hold together
};

// Reads the first bytes of a regular file; for a RIFF/WAVE file reads its header.
WavGate CheckWavHeader(const std::string& path, WavInfo* info);
