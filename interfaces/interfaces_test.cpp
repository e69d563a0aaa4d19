// The shared interfaces are tables between separately built modules: their slot positions, the
// protocol numbers derived from them and the raw records must not drift.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

#include "msg_ids.h"
#include "p2p_observer.h"
#include "p2p_protocol.h"
#include "player_core.h"
#include "player_protocol.h"

namespace {

// Pure tables: no data, no destructor slot, never deleted through the interface.
static_assert(std::is_abstract_v<IPlayerCore> && sizeof(IPlayerCore) == sizeof(void*));
static_assert(std::is_abstract_v<IPlayObject> && sizeof(IPlayObject) == sizeof(void*));
static_assert(std::is_abstract_v<IMediaCallback> && sizeof(IMediaCallback) == sizeof(void*));
static_assert(!std::has_virtual_destructor_v<IPlayerCore>);
static_assert(!std::has_virtual_destructor_v<IPlayObject>);
static_assert(!std::has_virtual_destructor_v<IMediaCallback>);
// The observer has empty default bodies and its destructor as slot 0.
static_assert(!std::is_abstract_v<P2PObserver> && sizeof(P2PObserver) == sizeof(void*));
static_assert(std::has_virtual_destructor_v<P2PObserver>);

// Index of a virtual function in its class's table. In the Itanium C++ ABI (GCC and Clang on
// x86) a pointer to a virtual member function holds 1 + the entry's byte offset in the table.
template <typename MemberFunction>
long SlotOf(MemberFunction member) {
    static_assert(sizeof(MemberFunction) == 2 * sizeof(void*));
    struct {
        uintptr_t ptr;
        ptrdiff_t adj;
    } rep;
    std::memcpy(&rep, &member, sizeof rep);
    if ((rep.ptr & 1) == 0) {
        return -1;  // not virtual
    }
    return static_cast<long>((rep.ptr - 1) / sizeof(void*));
}

struct SlotCase {
    const char* name;
    long slot;      // measured
    long expected;  // the table position
    int number;     // the protocol number that stands for it, or 0
};

void ExpectSlots(const SlotCase* cases, size_t count, int numberOffset) {
#if !defined(__x86_64__) && !defined(__i386__)
    GTEST_SKIP() << "slot positions are read with the x86 Itanium ABI's member pointers";
#endif
    for (size_t i = 0; i < count; ++i) {
        const SlotCase& c = cases[i];
        EXPECT_EQ(c.slot, c.expected) << c.name;
        if (c.number != 0) {
            EXPECT_EQ(c.number, c.expected + numberOffset) << c.name;
        }
    }
}

#define SLOT(cls, op, expected, number) \
    { #op, SlotOf(&cls::op), expected, number }

TEST(InterfaceSlots, PlayerCoreSlotsAndCommandNumbers) {
    // Commands 3 to 19 are the slot + 1; Init (command 1) and UnInit have their own rules.
    const SlotCase cases[] = {
        SLOT(IPlayerCore, Init, 0, 0),
        SLOT(IPlayerCore, UnInit, 1, 0),
        SLOT(IPlayerCore, Open, 2, PLAYER_CMD_OPEN),
        SLOT(IPlayerCore, Play, 3, PLAYER_CMD_PLAY),
        SLOT(IPlayerCore, Pause, 4, PLAYER_CMD_PAUSE),
        SLOT(IPlayerCore, Stop, 5, PLAYER_CMD_STOP),
        SLOT(IPlayerCore, SetPosition, 6, PLAYER_CMD_SET_POSITION),
        SLOT(IPlayerCore, SetVolume, 7, PLAYER_CMD_SET_VOLUME),
        SLOT(IPlayerCore, SetFlag, 8, PLAYER_CMD_SET_FLAG),
        SLOT(IPlayerCore, SetNumberA, 9, PLAYER_CMD_SET_NUMBER_A),
        SLOT(IPlayerCore, SetQuad, 10, PLAYER_CMD_SET_QUAD),
        SLOT(IPlayerCore, SetNumberB, 11, PLAYER_CMD_SET_NUMBER_B),
        SLOT(IPlayerCore, SetNumberC, 12, PLAYER_CMD_SET_NUMBER_C),
        SLOT(IPlayerCore, SetBlock, 13, PLAYER_CMD_SET_BLOCK),
        SLOT(IPlayerCore, QueryNumber, 14, PLAYER_CMD_QUERY_NUMBER),
        SLOT(IPlayerCore, SetNumberD, 15, PLAYER_CMD_SET_NUMBER_D),
        SLOT(IPlayerCore, SetNumberE, 16, PLAYER_CMD_SET_NUMBER_E),
        SLOT(IPlayerCore, QueryStatus, 17, PLAYER_CMD_QUERY_STATUS),
        SLOT(IPlayerCore, GetPlayObject, 18, PLAYER_CMD_GET_PLAY_OBJECT),
    };
    ExpectSlots(cases, std::size(cases), 1);
    EXPECT_EQ(PLAYER_CMD_INIT, 1);
    EXPECT_EQ(PLAYER_CMD_LAST, 19);
}

TEST(InterfaceSlots, PlayObjectSlots) {
    const SlotCase cases[] = {
        SLOT(IPlayObject, GetVolume, 0, 0),    SLOT(IPlayObject, GetFlag, 1, 0),
        SLOT(IPlayObject, GetBlock, 2, 0),     SLOT(IPlayObject, GetNumberA, 3, 0),
        SLOT(IPlayObject, GetNumberB, 4, 0),   SLOT(IPlayObject, GetTextA, 5, 0),
        SLOT(IPlayObject, GetTextB, 6, 0),     SLOT(IPlayObject, GetTextC, 7, 0),
        SLOT(IPlayObject, GetTextD, 8, 0),     SLOT(IPlayObject, GetNumberC, 9, 0),
        SLOT(IPlayObject, GetNumberD, 10, 0),  SLOT(IPlayObject, GetNumberE, 11, 0),
        SLOT(IPlayObject, GetDuration, 12, 0), SLOT(IPlayObject, GetState, 13, 0),
        SLOT(IPlayObject, GetPosition, 14, 0), SLOT(IPlayObject, GetData, 15, 0),
        SLOT(IPlayObject, GetNumberF, 16, 0),  SLOT(IPlayObject, IsActive, 17, 0),
        SLOT(IPlayObject, GetNumberG, 18, 0),  SLOT(IPlayObject, GetBufferInfo, 19, 0),
        SLOT(IPlayObject, GetNumberH, 20, 0),
    };
    ExpectSlots(cases, std::size(cases), 0);
}

TEST(InterfaceSlots, MediaCallbackSlotsAndNotificationNumbers) {
    // Notification n stands for slot n - 1; slots 6 and 18 have no notification that is sent.
    const SlotCase cases[] = {
        SLOT(IMediaCallback, NotifyPlayStart, 0, PLAYER_NOTIFY_PLAY_START),
        SLOT(IMediaCallback, NotifyPlayPause, 1, PLAYER_NOTIFY_PLAY_PAUSE),
        SLOT(IMediaCallback, NotifyPlayResume, 2, PLAYER_NOTIFY_PLAY_RESUME),
        SLOT(IMediaCallback, NotifyPlayStop, 3, PLAYER_NOTIFY_PLAY_STOP),
        SLOT(IMediaCallback, NotifyPlayEnd, 4, PLAYER_NOTIFY_PLAY_END),
        SLOT(IMediaCallback, NotifyPlayFail, 5, PLAYER_NOTIFY_PLAY_FAIL),
        SLOT(IMediaCallback, NotifyPlayStatus, 6, PLAYER_NOTIFY_PLAY_STATUS),
        SLOT(IMediaCallback, NotifyDownloadStart, 7, PLAYER_NOTIFY_DOWNLOAD_START),
        SLOT(IMediaCallback, NotifyDownloadEnd, 8, PLAYER_NOTIFY_DOWNLOAD_END),
        SLOT(IMediaCallback, NotifyDownloadFail, 9, PLAYER_NOTIFY_DOWNLOAD_FAIL),
        SLOT(IMediaCallback, NotifySigChange, 10, PLAYER_NOTIFY_SIG_CHANGE),
        SLOT(IMediaCallback, NotifyPlayerDead, 11, PLAYER_NOTIFY_PLAYER_DEAD),
        SLOT(IMediaCallback, NotifyDecoderMissing, 12, PLAYER_NOTIFY_DECODER_MISSING),
        SLOT(IMediaCallback, NotifySongSwitch, 13, PLAYER_NOTIFY_SONG_SWITCH),
        SLOT(IMediaCallback, NotifyMvCanSeek, 14, PLAYER_NOTIFY_MV_CAN_SEEK),
        SLOT(IMediaCallback, NotifyNetBufferProgress, 15, PLAYER_NOTIFY_NET_BUFFER_PROGRESS),
        SLOT(IMediaCallback, NotifyMvNeedAd, 16, PLAYER_NOTIFY_MV_NEED_AD),
        SLOT(IMediaCallback, NotifyMvBlocked, 17, PLAYER_NOTIFY_MV_BLOCKED),
        SLOT(IMediaCallback, NotifySongStall, 18, 0),
    };
    ExpectSlots(cases, std::size(cases), 1);
    EXPECT_EQ(PLAYER_NOTIFY_LAST, 18);
}

TEST(InterfaceSlots, P2PObserverSlotsAndNotificationIds) {
    // The destructor is slot 0; the Itanium ABI gives it two entries (complete and deleting), so
    // slot n of the observer is entry n + 1. Notification n is slot n.
    const SlotCase cases[] = {
        SLOT(P2PObserver, OnP2PNotify1, 2, P2P_NOTIFY_1),
        SLOT(P2PObserver, OnP2PNotify2, 3, P2P_NOTIFY_2),
        SLOT(P2PObserver, OnP2PNotify3, 4, P2P_NOTIFY_3),
        SLOT(P2PObserver, OnP2PNotify4, 5, P2P_NOTIFY_4),
        SLOT(P2PObserver, OnP2PNotify5, 6, P2P_NOTIFY_5),
        SLOT(P2PObserver, OnP2PNotify6, 7, P2P_NOTIFY_6),
        SLOT(P2PObserver, OnP2PNotify7, 8, 0),
    };
    ExpectSlots(cases, std::size(cases), -1);
}

#undef SLOT

// Constructs a record over storage full of garbage, so a member without an initialiser shows.
template <typename Record>
bool DefaultIsAllZero() {
    alignas(Record) unsigned char storage[sizeof(Record)];
    std::memset(storage, 0xAB, sizeof storage);
    Record* record = new (storage) Record;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(record);
    bool zero = true;
    for (size_t i = 0; i < sizeof(Record); ++i) {
        zero = zero && bytes[i] == 0;
    }
    record->~Record();
    return zero;
}

TEST(PlayRecords, DefaultConstructedRecordsAreCleared) {
    EXPECT_TRUE(DefaultIsAllZero<PlayRequest>());
    EXPECT_TRUE(DefaultIsAllZero<PlayQuad>());
    EXPECT_TRUE(DefaultIsAllZero<PlayBlock>());
}

TEST(PlayRecords, MembersLieAtTheirWireOffsets) {
    // Filled through the members, read back as the raw bytes that cross processes.
    PlayRequest request;
    request.value0 = 0x01020304;
    request.itemNumber = -2;
    request.itemSign = Sign(0x11223344u, 0x55667788u);
    request.itemExtra = 9;
    std::strcpy(request.itemText1, "file.wav");
    std::strcpy(request.itemText3, "z");
    unsigned char raw[sizeof(PlayRequest)];
    std::memcpy(raw, &request, sizeof raw);
    const unsigned char value0[] = {0x04, 0x03, 0x02, 0x01};
    const unsigned char number[] = {0xFE, 0xFF, 0xFF, 0xFF};
    const unsigned char sign[] = {0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55};
    EXPECT_EQ(std::memcmp(raw + 0, value0, 4), 0);
    EXPECT_EQ(std::memcmp(raw + 4, number, 4), 0);
    EXPECT_EQ(std::memcmp(raw + 520, sign, 8), 0);
    EXPECT_EQ(raw[1052], 9);
    EXPECT_EQ(std::memcmp(raw + 1056, "file.wav", 9), 0);
    EXPECT_EQ(raw[2080], 'z');
    EXPECT_EQ(raw[2081], 0);
}

}  // namespace
