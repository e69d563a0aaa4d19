// The play-object snapshot that answers PLAYER_CMD_GET_PLAY_OBJECT: every value of the engine's
// IPlayObject except IsActive, in the order the proxy reads them.
#pragma once

#include "play_object.h"

class CStreamWriter;

// Writes, after the GetPlayObject result the caller has written: NumberF, NumberH, both buffer
// values, NumberG, NumberA, NumberB, the 56-byte block, the flag byte, volume, position, the
// data length in bytes and the array's bytes, state, texts D and B, NumberE, duration, text A,
// NumberC, NumberD, text C. Each text is taken through its own zeroed 1024-byte buffer and
// written with its NUL; a text the engine leaves without a NUL is cut to 1023 characters. An
// array with a negative count, or too long for its byte length to fit an int, is written as no
// array (length 0).
void WritePlayObjectSnapshot(IPlayObject& object, CStreamWriter& writer);
