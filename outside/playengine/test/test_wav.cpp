#include "test_wav.h"

namespace enginetest {

std::string Le16(uint16_t value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::string Le32(uint32_t value) {
    return Le16(static_cast<uint16_t>(value & 0xFFFF)) + Le16(static_cast<uint16_t>(value >> 16));
}

std::string Chunk(std::string_view id, const std::string& body) {
    std::string chunk = std::string(id) + Le32(static_cast<uint32_t>(body.size())) + body;
    if (body.size() % 2 != 0) {
        chunk += '\0';
    }
    return chunk;
}

std::string Riff(const std::string& chunks) {
    return "RIFF" + Le32(static_cast<uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

std::string FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t byteRate,
                    uint16_t blockAlign, uint16_t bits) {
    return Le16(tag) + Le16(channels) + Le32(rate) + Le32(byteRate) + Le16(blockAlign) + Le16(bits);
}

std::string FmtPcm(uint16_t channels, uint32_t rate, uint16_t bits) {
    uint16_t align = static_cast<uint16_t>(channels * ((bits + 7) / 8));
    return FmtBody(1, channels, rate, rate * align, align, bits);
}

std::string FmtExtensible(uint16_t channels, uint32_t rate, uint16_t bits, uint32_t subFormat) {
    uint16_t align = static_cast<uint16_t>(channels * ((bits + 7) / 8));
    static const char kTail[12] = {0x00,
                                   0x00,
                                   0x10,
                                   0x00,
                                   static_cast<char>(0x80),
                                   0x00,
                                   0x00,
                                   static_cast<char>(0xAA),
                                   0x00,
                                   0x38,
                                   static_cast<char>(0x9B),
                                   0x71};
    return FmtBody(0xFFFE, channels, rate, rate * align, align, bits) + Le16(22) + Le16(bits) +
           Le32(0) + Le32(subFormat) + std::string(kTail, sizeof kTail);
}

std::string PcmWav(uint16_t channels, uint32_t rate, uint16_t bits, uint32_t dataBytes) {
    return Riff(Chunk("fmt ", FmtPcm(channels, rate, bits)) +
                Chunk("data", std::string(dataBytes, '\0')));
}

std::string WavOfMs(int ms) {
    return PcmWav(1, 8000, 16, static_cast<uint32_t>(ms) * 16);
}

}  // namespace enginetest
