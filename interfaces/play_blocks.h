// The two fixed records that player commands carry besides the play request: the 16-byte record
// of four ints (SetQuad) and the 56-byte block (SetBlock, IPlayObject::GetBlock). Both cross
// processes as raw bytes, so their sizes are binding. A default-constructed record is all zero.
#pragma once

#include <cstdint>
#include <type_traits>

struct PlayQuad {
    int32_t value[4] = {};
};

struct PlayBlock {
    uint8_t bytes[56] = {};
};

static_assert(sizeof(PlayQuad) == 16 && std::is_trivially_copyable_v<PlayQuad>);
static_assert(sizeof(PlayBlock) == 56 && std::is_trivially_copyable_v<PlayBlock>);
