// Sign: the identifier of a track or a download resource. Two unsigned 32-bit values, ordered
// by the first, then the second; copied by value.
#pragma once

#include <cstdint>
#include <string>

struct Sign {
    uint32_t first;
    uint32_t second;

    // The empty sign: 0, 0.
    Sign() : first(0), second(0) {}
    Sign(uint32_t firstValue, uint32_t secondValue) : first(firstValue), second(secondValue) {}
    // The empty text gives 0, 0; any other text a stable hash of its bytes, the same in every
    // process and on every run.
    explicit Sign(std::string text);

    bool operator<(const Sign& other) const {
        return first != other.first ? first < other.first : second < other.second;
    }
    bool operator==(const Sign& other) const {
        return first == other.first && second == other.second;
    }
};
