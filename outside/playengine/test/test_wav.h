// Test support: the bytes of WAV files, built piece by piece so that tests can also build the
// broken ones.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace enginetest {

std::string Le16(uint16_t value);
std::string Le32(uint32_t value);
// A chunk: id, 32-bit size, body, and a pad byte when the body's length is odd.
std::string Chunk(std::string_view id, const std::string& body);
// "RIFF", the size of what follows, "WAVE", then the chunks.
std::string Riff(const std::string& chunks);
// A "fmt " body of 16 bytes with the values as given.
std::string FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t byteRate,
                    uint16_t blockAlign, uint16_t bits);
// A consistent 16-byte PCM "fmt " body.
std::string FmtPcm(uint16_t channels, uint32_t rate, uint16_t bits);
// A consistent 40-byte extensible "fmt " body with the given sub-format code (1 is PCM).
std::string FmtExtensible(uint16_t channels, uint32_t rate, uint16_t bits, uint32_t subFormat = 1);
// A whole PCM file with `dataBytes` bytes of silence.
std::string PcmWav(uint16_t channels, uint32_t rate, uint16_t bits, uint32_t dataBytes);
// A mono 16-bit file at 8000 Hz (16 bytes a millisecond) that lasts exactly `ms`.
std::string WavOfMs(int ms);

}  // namespace enginetest
