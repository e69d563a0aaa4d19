// The play-object cache: getters before any refresh, a full refresh, replies cut at every field,
// hostile data lengths and texts, and the state's marking on service loss.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "byte_stream.h"
#include "hex_bytes.h"
#include "play_object_cache.h"
#include "play_object_reply.h"

namespace {

using proxytest::DistinctValues;
using proxytest::EncodePlayObject;
using proxytest::PlayObjectValues;

std::string TextOf(CPlayObject& object, void (CPlayObject::*getter)(char*)) {
    char buffer[PLAY_OBJECT_TEXT_SIZE];
    std::memset(buffer, 'x', sizeof(buffer));
    (object.*getter)(buffer);
    return std::string(buffer, strnlen(buffer, sizeof(buffer)));
}

std::vector<int> DataOf(CPlayObject& object) {
    int* data = nullptr;
    int count = 0;
    object.GetData(&data, &count);
    EXPECT_EQ(count, PLAY_OBJECT_DATA_CAPACITY);
    return std::vector<int>(data, data + count);
}

void Refresh(CPlayObject& object, const std::vector<uint8_t>& reply, size_t length) {
    object.Refresh(reply.data(), static_cast<int>(length));
}
void Refresh(CPlayObject& object, const std::vector<uint8_t>& reply) {
    Refresh(object, reply, reply.size());
}

// One check per reply field after the ignored result, in reply order: does the object hold the
// field's value from v?
using FieldCheck = std::function<bool(CPlayObject&, const PlayObjectValues&)>;
const std::vector<FieldCheck>& FieldChecks() {
    static const std::vector<FieldCheck> checks = {
        [](CPlayObject& o, const PlayObjectValues& v) { return o.GetNumberF() == v.numberF; },
        [](CPlayObject& o, const PlayObjectValues& v) { return o.GetNumberH() == v.numberH; },
        [](CPlayObject& o, const PlayObjectValues& v) {
            int first = -1, second = -1;
            o.GetBufferInfo(&first, &second);
            return first == v.bufferProgress;
        },
        [](CPlayObject& o, const PlayObjectValues& v) {
            int first = -1, second = -1;
            o.GetBufferInfo(&first, &second);
            return second == v.bufferValue2;
        },
        [](CPlayObject& o, const PlayObjectValues& v) { return o.GetNumberG() == v.numberG; },
        [](CPlayObject& o, const PlayObjectValues& v) { return o.GetNumberA() == v.numberA; },
        [](CPlayObject& o, const PlayObjectValues& v) { return o.GetNumberB() == v.numberB; },
        [](CPlayObject& o, const PlayObjectValues& v) {
            PlayBlock block;
            o.GetBlock(&block);
            return std::memcmp(block.bytes, v.block.bytes, sizeof(block.bytes)) == 0;
        },
        [](CPlayObject& o, const PlayObjectValues& v) { return o.GetFlag() == v.flag; },
        [](CPlayObject& o, const PlayObjectValues& v) { return o.GetVolume() == v.volume; },
        [](CPlayObject& o, const PlayObjectValues& v) { return o.GetPosition() == v.position; },
        [](CPlayObject& o, const PlayObjectValues& v) {
            const std::vector<int> data = DataOf(o);
            return std::equal(v.data.begin(), v.data.end(), data.begin());
        },
        [](CPlayObject& o, const PlayObjectValues& v) { return o.GetState() == v.state; },
        [](CPlayObject& o, const PlayObjectValues& v) {
            return TextOf(o, &CPlayObject::GetTextD) == v.textD;
        },
        [](CPlayObject& o, const PlayObjectValues& v) {
            return TextOf(o, &CPlayObject::GetTextB) == v.textB;
        },
        [](CPlayObject& o, const PlayObjectValues& v) { return o.GetNumberE() == v.numberE; },
        [](CPlayObject& o, const PlayObjectValues& v) { return o.GetDuration() == v.duration; },
        [](CPlayObject& o, const PlayObjectValues& v) {
            return TextOf(o, &CPlayObject::GetTextA) == v.textA;
        },
        [](CPlayObject& o, const PlayObjectValues& v) { return o.GetNumberC() == v.numberC; },
        [](CPlayObject& o, const PlayObjectValues& v) { return o.GetNumberD() == v.numberD; },
        [](CPlayObject& o, const PlayObjectValues& v) {
            return TextOf(o, &CPlayObject::GetTextC) == v.textC;
        },
    };
    return checks;
}

TEST(PlayObjectCache, BeforeAnyRefreshEverythingIsZeroOrEmpty) {
    CPlayObject object;
    PlayObjectValues zero;
    zero.data.assign(PLAY_OBJECT_DATA_CAPACITY, 0);
    for (const FieldCheck& check : FieldChecks()) {
        EXPECT_TRUE(check(object, zero));
    }
    EXPECT_FALSE(object.IsActive());
}

TEST(PlayObjectCache, FullReplyFillsEveryMemberFromItsField) {
    CPlayObject object;
    const PlayObjectValues values = DistinctValues(7);
    Refresh(object, EncodePlayObject(values));
    for (size_t field = 0; field < FieldChecks().size(); ++field) {
        EXPECT_TRUE(FieldChecks()[field](object, values)) << "field " << field + 2;
    }
}

// A reply cut at any byte updates exactly the fields that lie whole before the cut.
TEST(PlayObjectCache, CutReplyUpdatesOnlyTheFieldsItCovers) {
    const PlayObjectValues before = DistinctValues(1);
    const PlayObjectValues after = DistinctValues(2);
    std::vector<size_t> ends;
    const std::vector<uint8_t> reply = EncodePlayObject(after, &ends);
    ASSERT_EQ(ends.size(), FieldChecks().size() + 1);
    for (size_t cut = 1; cut < reply.size(); ++cut) {
        CPlayObject object;
        Refresh(object, EncodePlayObject(before));
        Refresh(object, reply, cut);
        for (size_t field = 0; field < FieldChecks().size(); ++field) {
            const bool covered = ends[field + 1] <= cut;
            EXPECT_TRUE(FieldChecks()[field](object, covered ? after : before))
                << "cut at " << cut << ", field " << field + 2;
        }
    }
}

// The bytes of a reply up to and including field 12, then the given data length and bytes,
// then a state and the rest.
std::vector<uint8_t> WithData(const PlayObjectValues& values, int declared,
                              const std::vector<uint8_t>& bytes, bool withTail) {
    std::vector<size_t> ends;
    std::vector<uint8_t> reply = EncodePlayObject(values, &ends);
    reply.resize(ends[11]);
    CStreamWriter tail;
    tail.WriteInt(declared);
    tail.WriteRaw(bytes.data(), static_cast<int>(bytes.size()));
    if (withTail) {
        tail.WriteInt(values.state);
        tail.WriteString(values.textD);
    }
    reply.insert(reply.end(), tail.GetData(), tail.GetData() + tail.GetSize());
    return reply;
}

std::vector<uint8_t> IntBytes(std::initializer_list<int> ints) {
    return brtest::Ints<std::vector<uint8_t>>(ints);
}

TEST(PlayObjectCache, DataOfEightBytesReplacesTheFirstTwoEntriesOnly) {
    CPlayObject object;
    PlayObjectValues first = DistinctValues(1);
    first.data = {11, 12, 13, 14};
    Refresh(object, EncodePlayObject(first));
    PlayObjectValues second = DistinctValues(2);
    Refresh(object, WithData(second, 8, IntBytes({21, 22}), true));
    const std::vector<int> data = DataOf(object);
    EXPECT_EQ((std::vector<int>(data.begin(), data.begin() + 5)),
              (std::vector<int>{21, 22, 13, 14, 0}));
    EXPECT_EQ(object.GetState(), second.state);
}

TEST(PlayObjectCache, DataLengthZeroOrNegativeLeavesDataAndReadsStateNext) {
    for (int declared : {0, -4, INT32_MIN}) {
        CPlayObject object;
        PlayObjectValues first = DistinctValues(1);
        Refresh(object, EncodePlayObject(first));
        const PlayObjectValues second = DistinctValues(2);
        Refresh(object, WithData(second, declared, {}, true));
        EXPECT_EQ(DataOf(object)[0], first.data[0]) << declared;
        EXPECT_EQ(object.GetState(), second.state) << declared;
        EXPECT_EQ(TextOf(object, &CPlayObject::GetTextD), second.textD) << declared;
    }
}

// 2000 bytes of data: the first 1024 fill the array, the rest are skipped, and the state is
// read after the whole data, not from inside it.
TEST(PlayObjectCache, OversizedDataFillsTheArrayAndSkipsTheRest) {
    CPlayObject object;
    const PlayObjectValues values = DistinctValues(3);
    std::vector<uint8_t> bytes(2000);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + 1);
    }
    Refresh(object, WithData(values, static_cast<int>(bytes.size()), bytes, true));
    const std::vector<int> data = DataOf(object);
    EXPECT_EQ(std::memcmp(data.data(), bytes.data(), PLAY_OBJECT_DATA_CAPACITY * sizeof(int)), 0);
    EXPECT_EQ(object.GetState(), values.state);
    EXPECT_EQ(TextOf(object, &CPlayObject::GetTextD), values.textD);
    EXPECT_EQ(object.GetNumberF(), values.numberF);  // the member after the array is intact
}

// A data length that runs past the reply's end: the array keeps its values and nothing after
// it is read from the data bytes.
TEST(PlayObjectCache, DataLengthBeyondTheReplyEndsTheRefresh) {
    for (int declared : {12, 1024, 4096, INT32_MAX}) {
        CPlayObject object;
        const PlayObjectValues first = DistinctValues(1);
        Refresh(object, EncodePlayObject(first));
        const PlayObjectValues second = DistinctValues(2);
        // Eight bytes follow the length: enough for a state and more, were they read.
        Refresh(object, WithData(second, declared, IntBytes({77, 78}), false));
        EXPECT_EQ(object.GetPosition(), second.position) << declared;
        EXPECT_EQ(DataOf(object)[0], first.data[0]) << declared;
        EXPECT_EQ(object.GetState(), first.state) << declared;
    }
}

TEST(PlayObjectCache, TextLongerThanACallerBufferHoldsIsCut) {
    CPlayObject object;
    PlayObjectValues values = DistinctValues(4);
    values.textA = std::string(3000, 'q');
    Refresh(object, EncodePlayObject(values));
    char buffer[PLAY_OBJECT_TEXT_SIZE + 64];
    std::memset(buffer, 0x5A, sizeof(buffer));
    object.GetTextA(buffer);
    EXPECT_EQ(std::string(buffer), std::string(PLAY_OBJECT_TEXT_SIZE - 1, 'q'));
    for (size_t i = PLAY_OBJECT_TEXT_SIZE; i < sizeof(buffer); ++i) {
        ASSERT_EQ(buffer[i], 0x5A) << "written past the caller's 1024 bytes at " << i;
    }
    EXPECT_EQ(object.GetNumberC(), values.numberC);  // the fields after it were read
}

TEST(PlayObjectCache, TextGettersAndBlockWithNullOrEmpty) {
    CPlayObject object;
    object.GetTextA(nullptr);
    object.GetBlock(nullptr);
    char buffer[4] = {'x', 'x', 'x', 'x'};
    object.GetTextB(buffer);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], 'x');  // an empty text is a single NUL
}

TEST(PlayObjectCache, IsActiveOnlyForStatesThreeToFive) {
    for (int state = -1; state <= 7; ++state) {
        CPlayObject object;
        PlayObjectValues values = DistinctValues(1);
        values.state = state;
        Refresh(object, EncodePlayObject(values));
        EXPECT_EQ(object.IsActive() != 0, state >= 3 && state <= 5) << state;
    }
}

TEST(PlayObjectCache, MarkLostUnlessARefreshBroughtANewerState) {
    CPlayObject object;
    PlayObjectValues values = DistinctValues(1);
    values.state = 5;
    Refresh(object, EncodePlayObject(values));

    unsigned generation = 0;
    EXPECT_EQ(object.GetStateAndGeneration(&generation), 5);
    EXPECT_TRUE(object.MarkLost(generation));
    EXPECT_EQ(object.GetState(), PLAY_OBJECT_STATE_LOST);
    EXPECT_FALSE(object.IsActive());

    values.state = 3;
    Refresh(object, EncodePlayObject(values));
    object.GetStateAndGeneration(&generation);
    Refresh(object, EncodePlayObject(values));  // the service answered again meanwhile
    EXPECT_FALSE(object.MarkLost(generation));
    EXPECT_EQ(object.GetState(), 3);

    // A reply cut before the state is no newer state.
    object.GetStateAndGeneration(&generation);
    std::vector<size_t> ends;
    const std::vector<uint8_t> reply = EncodePlayObject(values, &ends);
    Refresh(object, reply, ends[12] - 1);
    EXPECT_TRUE(object.MarkLost(generation));
}

}  // namespace
