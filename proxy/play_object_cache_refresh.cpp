// The bounded refresh of the play-object cache from a play-object reply. Fields, in reply order:
// result (ignored), numberF, numberH, bufferProgress, bufferValue2, numberG, numberA, numberB,
// block, flag, volume, position, data length and data, state, textD, textB, numberE, duration,
// textA, numberC, numberD, textC.
#include <algorithm>
#include <cstring>

#include "byte_stream.h"
#include "play_object_cache.h"

namespace {

constexpr uint32_t kDataCapacityBytes = PLAY_OBJECT_DATA_CAPACITY * sizeof(int);

// The data length and its bytes. The first 1024 bytes at most go into the array; the rest of
// the data is skipped so the following fields are read after it, never from inside it. A length
// that runs past the reply's end fails, and the refresh ends there with the array untouched.
bool ReadData(CStreamReader& reader, const uint8_t* end, int* data) {
    int length = 0;
    if (!reader.ReadInt(length)) {
        return false;
    }
    if (length <= 0) {
        return true;
    }
    const uint32_t total = static_cast<uint32_t>(length);
    if (total > reader.GetRemaining()) {
        return false;
    }
    const uint32_t kept = std::min(total, kDataCapacityBytes);
    if (!reader.ReadRaw(data, static_cast<int>(kept))) {
        return false;
    }
    if (kept < total) {
        const uint8_t* cursor = end - reader.GetRemaining();
        reader.Attach(cursor + (total - kept), end);
    }
    return true;
}

// A text whole up to its NUL, cut to what a caller's PLAY_OBJECT_TEXT_SIZE-byte buffer holds.
bool ReadText(CStreamReader& reader, std::string& member) {
    std::string text;
    if (!reader.ReadString(text)) {
        return false;
    }
    if (text.size() > PLAY_OBJECT_TEXT_SIZE - 1) {
        text.resize(PLAY_OBJECT_TEXT_SIZE - 1);
    }
    member = std::move(text);
    return true;
}

}  // namespace

void CPlayObject::Refresh(const void* reply, int length) {
    if (reply == nullptr || length <= 0) {
        return;
    }
    const auto* begin = static_cast<const uint8_t*>(reply);
    const uint8_t* end = begin + length;
    CStreamReader reader;
    reader.Attach(begin, end);

    Lock lock(*this);
    int result = 0;
    const bool beforeState =
        reader.ReadInt(result) && reader.ReadInt(numberF_) && reader.ReadInt(numberH_) &&
        reader.ReadInt(bufferProgress_) && reader.ReadInt(bufferValue2_) &&
        reader.ReadInt(numberG_) && reader.ReadInt(numberA_) && reader.ReadInt(numberB_) &&
        reader.ReadBlock(block_) && reader.ReadByte(flag_) && reader.ReadInt(volume_) &&
        reader.ReadInt(position_) && ReadData(reader, end, data_);
    if (!beforeState || !reader.ReadInt(state_)) {
        return;
    }
    ++generation_;
    (void)(ReadText(reader, textD_) && ReadText(reader, textB_) && reader.ReadInt(numberE_) &&
           reader.ReadInt(duration_) && ReadText(reader, textA_) && reader.ReadInt(numberC_) &&
           reader.ReadInt(numberD_) && ReadText(reader, textC_));
}
