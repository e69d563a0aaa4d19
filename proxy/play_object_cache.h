// CPlayObject: the client's IPlayObject. It holds a copy of every value of the last play-object
// reply (PLAYER_CMD_GET_PLAY_OBJECT) and answers each getter from that copy without talking to
// the service. The player-core proxy embeds one, refreshes it from every successful reply, and
// marks its state 6 when the service is lost.
//
// Consistency between threads: the client's thread refreshes the object and calls the getters;
// the watchdog thread reads the state and marks it lost. Every member is read and written under
// the object's own critical section, which is held only while values are copied in memory (a
// refresh reads the reply buffer that has already arrived, never waits on the service), so the
// watchdog waits at most for one such copy. A generation number counts the refreshes that
// carried a state; the watchdog marks the state lost only when no such refresh came between its
// reading the state and its marking (see MarkLost), so a newer state from a service that answers
// again is never overwritten by a stale loss.
#pragma once

#include <windows.h>

#include <string>

#include "play_object.h"
#include "player_protocol.h"

// The cached state after the service was lost.
constexpr int PLAY_OBJECT_STATE_LOST = 6;

class CPlayObject final : public IPlayObject {
public:
    CPlayObject();
    ~CPlayObject();
    CPlayObject(const CPlayObject&) = delete;
    CPlayObject& operator=(const CPlayObject&) = delete;

    int GetVolume() override;
    BYTE GetFlag() override;
    void GetBlock(PlayBlock* block) override;
    int GetNumberA() override;
    int GetNumberB() override;
    void GetTextA(char* buffer) override;
    void GetTextB(char* buffer) override;
    void GetTextC(char* buffer) override;
    void GetTextD(char* buffer) override;
    int GetNumberC() override;
    int GetNumberD() override;
    int GetNumberE() override;
    int GetDuration() override;
    int GetState() override;
    int GetPosition() override;
    // The array stays the object's; it always reports the capacity, 256 ints.
    void GetData(int** data, int* count) override;
    int GetNumberF() override;
    BYTE IsActive() override;
    int GetNumberG() override;
    void GetBufferInfo(int* first, int* second) override;
    int GetNumberH() override;

    // Refills the members from a play-object reply, field by field in reply order, bounded by
    // length. Reading stops at the first field the rest of the reply cannot hold whole; the
    // members of that field and of every later one keep their values. A data length above the
    // array's 1024 bytes fills the array and skips the rest of the data; a data length beyond
    // the reply's end stops the refresh there. A text is cut to PLAY_OBJECT_TEXT_SIZE - 1 bytes.
    void Refresh(const void* reply, int length);

    // The state and the generation of the refresh that set it.
    int GetStateAndGeneration(unsigned* generation);
    // Sets the state to PLAY_OBJECT_STATE_LOST unless a refresh has brought a state since
    // generation was read. True when it did.
    bool MarkLost(unsigned generation);

private:
    // Held only while values are copied in memory.
    class Lock {
    public:
        explicit Lock(CPlayObject& object) : section_(&object.lock_) {
            EnterCriticalSection(section_);
        }
        ~Lock() { LeaveCriticalSection(section_); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        LPCRITICAL_SECTION section_;
    };

    void CopyText(const std::string& text, char* buffer);

    // In the order of the play-object table.
    int volume_ = 0;
    BYTE flag_ = 0;
    PlayBlock block_;
    int numberA_ = 0;
    int numberB_ = 0;
    std::string textB_;
    std::string textC_;
    std::string textD_;
    int numberC_ = 0;
    int numberD_ = 0;
    int numberE_ = 0;
    int duration_ = 0;
    std::string textA_;
    int state_ = 0;
    int position_ = 0;
    int data_[PLAY_OBJECT_DATA_CAPACITY] = {};
    int numberF_ = 0;
    int numberG_ = 0;
    int bufferValue2_ = 0;
    int bufferProgress_ = 0;
    int numberH_ = 0;

    unsigned generation_ = 0;
    CRITICAL_SECTION lock_;
};
