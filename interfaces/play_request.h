// PlayRequest: the fixed 2592-byte record that describes the item to open. The client fills it,
// and it is copied whole, as raw bytes, from the client through the service to the engine, so
// its layout is binding on every side: little-endian ints, no gaps, fixed-width members.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "sign.h"

struct PlayRequest {
    int32_t value0 = 0;
    int32_t itemNumber = 0;
    char text0[512] = {};
    Sign itemSign;  // first 32-bit word, then second; default 0, 0
    char itemText4[512] = {};
    int32_t value1 = 0;
    int32_t value2 = 0;
    int32_t value3 = 0;
    int32_t itemExtra = 0;
    char itemText1[512] = {};
    char itemText2[512] = {};
    char itemText3[512] = {};
};
// A default-constructed PlayRequest is the cleared record: all 2592 bytes zero.

// The record is copied as it lies in memory; that is the wire layout only on a little-endian
// host with these exact offsets.
static_assert(std::endian::native == std::endian::little);
static_assert(sizeof(Sign) == 8 && std::is_trivially_copyable_v<Sign>);
static_assert(std::is_standard_layout_v<PlayRequest> && std::is_trivially_copyable_v<PlayRequest>);
static_assert(sizeof(PlayRequest) == 2592);
static_assert(offsetof(PlayRequest, value0) == 0);
static_assert(offsetof(PlayRequest, itemNumber) == 4);
static_assert(offsetof(PlayRequest, text0) == 8);
static_assert(offsetof(PlayRequest, itemSign) == 520);
static_assert(offsetof(PlayRequest, itemSign) + offsetof(Sign, first) == 520);
static_assert(offsetof(PlayRequest, itemSign) + offsetof(Sign, second) == 524);
static_assert(offsetof(PlayRequest, itemText4) == 528);
static_assert(offsetof(PlayRequest, value1) == 1040);
static_assert(offsetof(PlayRequest, value2) == 1044);
static_assert(offsetof(PlayRequest, value3) == 1048);
static_assert(offsetof(PlayRequest, itemExtra) == 1052);
static_assert(offsetof(PlayRequest, itemText1) == 1056);
static_assert(offsetof(PlayRequest, itemText2) == 1568);
static_assert(offsetof(PlayRequest, itemText3) == 2080);
