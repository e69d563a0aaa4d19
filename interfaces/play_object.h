// IPlayObject: a read-only view of the current item of a player core. The engine supplies it in
// the service; the proxy's play-object cache answers it in the client. A pure table of 21
// operations in a binding slot order; none of them changes the object. Objects belong to their
// core and are never deleted through this interface.
#pragma once

#include <windows.h>

#include "play_blocks.h"

class IPlayObject {
public:
    virtual int GetVolume() = 0;                  // 0
    virtual BYTE GetFlag() = 0;                   // 1
    virtual void GetBlock(PlayBlock* block) = 0;  // 2: null copies nothing
    virtual int GetNumberA() = 0;                 // 3
    virtual int GetNumberB() = 0;                 // 4
    // 5 to 8: copy the text and its NUL into a buffer of PLAY_OBJECT_TEXT_SIZE bytes, at most
    // PLAY_OBJECT_TEXT_SIZE - 1 characters; null copies nothing.
    virtual void GetTextA(char* buffer) = 0;  // 5
    virtual void GetTextB(char* buffer) = 0;  // 6
    virtual void GetTextC(char* buffer) = 0;  // 7
    virtual void GetTextD(char* buffer) = 0;  // 8
    virtual int GetNumberC() = 0;             // 9
    virtual int GetNumberD() = 0;             // 10
    virtual int GetNumberE() = 0;             // 11
    virtual int GetDuration() = 0;            // 12: milliseconds
    virtual int GetState() = 0;               // 13: play-state number
    virtual int GetPosition() = 0;            // 14: milliseconds
    // 15: points data at an int array owned by the object and count at its number of ints.
    virtual void GetData(int** data, int* count) = 0;
    virtual int GetNumberF() = 0;  // 16
    virtual BYTE IsActive() = 0;   // 17: state 3, 4 or 5
    virtual int GetNumberG() = 0;  // 18
    // 19: first the buffering progress, second a value of the core's own.
    virtual void GetBufferInfo(int* first, int* second) = 0;
    virtual int GetNumberH() = 0;  // 20

protected:
    ~IPlayObject() = default;
};

// Size of the caller's buffer for GetTextA to GetTextD.
constexpr int PLAY_OBJECT_TEXT_SIZE = 1024;
