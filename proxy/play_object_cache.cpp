#include "play_object_cache.h"

#include <cstring>

CPlayObject::CPlayObject() {
    InitializeCriticalSection(&lock_);
}

CPlayObject::~CPlayObject() {
    DeleteCriticalSection(&lock_);
}

#define PLAY_OBJECT_GETTER(type, name, member) \
    type CPlayObject::name() {                 \
        Lock lock(*this);                      \
        return member;                         \
    }

PLAY_OBJECT_GETTER(int, GetVolume, volume_)
PLAY_OBJECT_GETTER(BYTE, GetFlag, flag_)
PLAY_OBJECT_GETTER(int, GetNumberA, numberA_)
PLAY_OBJECT_GETTER(int, GetNumberB, numberB_)
PLAY_OBJECT_GETTER(int, GetNumberC, numberC_)
PLAY_OBJECT_GETTER(int, GetNumberD, numberD_)
PLAY_OBJECT_GETTER(int, GetNumberE, numberE_)
PLAY_OBJECT_GETTER(int, GetDuration, duration_)
PLAY_OBJECT_GETTER(int, GetState, state_)
PLAY_OBJECT_GETTER(int, GetPosition, position_)
PLAY_OBJECT_GETTER(int, GetNumberF, numberF_)
PLAY_OBJECT_GETTER(int, GetNumberG, numberG_)
PLAY_OBJECT_GETTER(int, GetNumberH, numberH_)

#undef PLAY_OBJECT_GETTER

void CPlayObject::GetBlock(PlayBlock* block) {
    if (block != nullptr) {
        Lock lock(*this);
        *block = block_;
    }
}

void CPlayObject::CopyText(const std::string& text, char* buffer) {
    if (buffer != nullptr) {
        Lock lock(*this);
        // Refresh keeps every text below PLAY_OBJECT_TEXT_SIZE bytes with its NUL.
        std::memcpy(buffer, text.c_str(), text.size() + 1);
    }
}

void CPlayObject::GetTextA(char* buffer) {
    CopyText(textA_, buffer);
}
void CPlayObject::GetTextB(char* buffer) {
    CopyText(textB_, buffer);
}
void CPlayObject::GetTextC(char* buffer) {
    CopyText(textC_, buffer);
}
void CPlayObject::GetTextD(char* buffer) {
    CopyText(textD_, buffer);
}

void CPlayObject::GetData(int** data, int* count) {
    if (data != nullptr) {
        *data = data_;
    }
    if (count != nullptr) {
        *count = PLAY_OBJECT_DATA_CAPACITY;
    }
}

BYTE CPlayObject::IsActive() {
    Lock lock(*this);
    return state_ == 3 || state_ == 4 || state_ == 5;
}

void CPlayObject::GetBufferInfo(int* first, int* second) {
    Lock lock(*this);
    if (first != nullptr) {
        *first = bufferProgress_;
    }
    if (second != nullptr) {
        *second = bufferValue2_;
    }
}

int CPlayObject::GetStateAndGeneration(unsigned* generation) {
    Lock lock(*this);
    if (generation != nullptr) {
        *generation = generation_;
    }
    return state_;
}

bool CPlayObject::MarkLost(unsigned generation) {
    Lock lock(*this);
    if (generation != generation_) {
        return false;
    }
    state_ = PLAY_OBJECT_STATE_LOST;
    return true;
}
