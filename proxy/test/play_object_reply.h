// Test support: the values of one play-object reply and their encoding, field by field in
// reply order, with the offset at which each field ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "play_blocks.h"

namespace proxytest {

struct PlayObjectValues {
    int result = 0;
    int numberF = 0, numberH = 0, bufferProgress = 0, bufferValue2 = 0, numberG = 0;
    int numberA = 0, numberB = 0;
    PlayBlock block;
    uint8_t flag = 0;
    int volume = 0, position = 0;
    std::vector<int> data;
    int state = 0;
    std::string textD, textB;
    int numberE = 0, duration = 0;
    std::string textA;
    int numberC = 0, numberD = 0;
    std::string textC;
};

// Values that differ from field to field, derived from seed.
PlayObjectValues DistinctValues(int seed);

// The reply's bytes. fieldEnds, when given, receives 22 offsets: where each of fields 1 to 23
// ends, the data length and the data (fields 13 and 14) counting as one.
std::vector<uint8_t> EncodePlayObject(const PlayObjectValues& values,
                                      std::vector<size_t>* fieldEnds = nullptr);

}  // namespace proxytest
