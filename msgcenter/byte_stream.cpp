#include "byte_stream.h"

#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

static_assert(sizeof(int) == 4, "ints on the wire are 32 bits");

namespace {

void PutInt(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
    at[2] = static_cast<uint8_t>(value >> 16);
    at[3] = static_cast<uint8_t>(value >> 24);
}

uint32_t GetInt(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
           static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

}  // namespace

// ---- CStreamWriter ----

CStreamWriter::~CStreamWriter() {
    delete[] buffer_;
}

CStreamWriter::CStreamWriter(CStreamWriter&& other) noexcept
    : buffer_(std::exchange(other.buffer_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

CStreamWriter& CStreamWriter::operator=(CStreamWriter&& other) noexcept {
    if (this != &other) {
        delete[] buffer_;
        buffer_ = std::exchange(other.buffer_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

void CStreamWriter::Clear() {
    delete[] buffer_;
    buffer_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}

void CStreamWriter::Reserve(size_t n) {
    // Checked before any arithmetic can wrap: the doubling below then always ends.
    if (n > kMaxSize - size_) {
        throw std::length_error("byte stream payload above 2 GiB");
    }
    const uint64_t needed = static_cast<uint64_t>(size_) + n;
    uint64_t capacity = capacity_ != 0 ? capacity_ : 1;
    while (capacity < needed) {
        capacity *= 2;
    }
    if (capacity <= capacity_) {
        return;
    }
    uint8_t* grown = new uint8_t[capacity];
    if (size_ != 0) {
        std::memcpy(grown, buffer_, size_);
    }
    delete[] buffer_;
    buffer_ = grown;
    capacity_ = static_cast<uint32_t>(capacity);
}

uint8_t* CStreamWriter::Advance(size_t n) {
    Reserve(n);
    uint8_t* at = buffer_ + size_;
    size_ += static_cast<uint32_t>(n);
    return at;
}

void CStreamWriter::WriteInt(int value) {
    PutInt(Advance(4), static_cast<uint32_t>(value));
}

void CStreamWriter::WriteByte(BYTE value) {
    *Advance(1) = value;
}

void CStreamWriter::WriteSign(const Sign& sign) {
    WriteSignInts(sign.first, sign.second);
}

void CStreamWriter::WriteSignInts(uint32_t first, uint32_t second) {
    uint8_t* at = Advance(8);
    PutInt(at, first);
    PutInt(at + 4, second);
}

void CStreamWriter::WriteCText(const char* text, size_t length) {
    uint8_t* at = Advance(length + 1);
    if (length != 0) {
        std::memcpy(at, text, length);
    }
    at[length] = 0;
}

void CStreamWriter::WriteString(const std::string& text) {
    // Up to the first NUL: a reader could not find the rest, and would take it for the fields
    // that follow.
    WriteCText(text.c_str(), std::strlen(text.c_str()));
}

void CStreamWriter::WriteText(const char* text) {
    if (text == nullptr) {
        text = "";
    }
    WriteCText(text, std::strlen(text));
}

void CStreamWriter::WriteQuad(const PlayQuad& quad) {
    uint8_t* at = Advance(sizeof quad);
    for (int i = 0; i < 4; ++i) {
        PutInt(at + 4 * i, static_cast<uint32_t>(quad.value[i]));
    }
}

void CStreamWriter::WriteBlock(const PlayBlock& block) {
    std::memcpy(Advance(sizeof block), block.bytes, sizeof block);
}

void CStreamWriter::WritePlayRequest(const PlayRequest& request) {
    std::memcpy(Advance(sizeof request), &request, sizeof request);
}

void CStreamWriter::WriteRaw(const void* bytes, int n) {
    if (n <= 0) {
        return;
    }
    uint8_t* at = Advance(static_cast<size_t>(n));
    if (bytes != nullptr) {
        std::memcpy(at, bytes, static_cast<size_t>(n));
    } else {
        std::memset(at, 0, static_cast<size_t>(n));
    }
}

void CStreamWriter::WriteCmdInt(int command, int value) {
    WriteInt(command);
    WriteInt(value);
}

void CStreamWriter::WriteCmdInts(int command, int a, int b, int c) {
    WriteInt(command);
    WriteInt(a);
    WriteInt(b);
    WriteInt(c);
}

void CStreamWriter::WriteCmdByte(int command, BYTE value) {
    WriteInt(command);
    WriteByte(value);
}

void CStreamWriter::WriteCmdQuad(int command, const PlayQuad& quad) {
    WriteInt(command);
    WriteQuad(quad);
}

void CStreamWriter::WriteCmdBlock(int command, const PlayBlock& block) {
    WriteInt(command);
    WriteBlock(block);
}

void CStreamWriter::WriteCmdPlayRequest(int command, const PlayRequest& request) {
    WriteInt(command);
    WritePlayRequest(request);
}

void CStreamWriter::WriteCmdIntByte(int command, int value, BYTE flag) {
    WriteInt(command);
    WriteInt(value);
    WriteByte(flag);
}

void CStreamWriter::WriteCmdSign(int command, const Sign& sign) {
    WriteInt(command);
    WriteSign(sign);
}

void CStreamWriter::WriteCmdSignInt(int command, const Sign& sign, int value) {
    WriteInt(command);
    WriteSign(sign);
    WriteInt(value);
}

void CStreamWriter::WriteCmdSignInts(int command, const Sign& sign, int a, int b, int c) {
    WriteInt(command);
    WriteSign(sign);
    WriteInt(a);
    WriteInt(b);
    WriteInt(c);
}

void CStreamWriter::WriteCmdSignStringInt(int command, const Sign& sign, const char* text,
                                          int value) {
    WriteInt(command);
    WriteSign(sign);
    WriteText(text);
    WriteInt(value);
}

void CStreamWriter::WriteCmdSignSignString(int command, const Sign& first, const Sign& second,
                                           const char* text) {
    WriteInt(command);
    WriteSign(first);
    WriteSign(second);
    WriteText(text);
}

void CStreamWriter::WriteCmdSignPair(int command, uint32_t first1, uint32_t first2,
                                     uint32_t second1, uint32_t second2, const char* text) {
    WriteInt(command);
    WriteSignInts(first1, first2);
    WriteSignInts(second1, second2);
    WriteText(text);
}

void CStreamWriter::WriteStartDown(int command, const Sign& sign, const char* text, int int1,
                                   int int2, int int3, int tag, BYTE flag) {
    WriteInt(command);
    WriteSign(sign);
    WriteText(text);
    WriteInt(int1);
    WriteInt(int2);
    WriteInt(int3);
    WriteInt(tag);
    WriteByte(flag);
}

void CStreamWriter::WriteIntString(int value, const char* text) {
    WriteInt(value);
    WriteText(text);
}

// ---- CStreamReader ----

void CStreamReader::Attach(const void* begin, const void* end) {
    const uint8_t* first = static_cast<const uint8_t*>(begin);
    const uint8_t* last = static_cast<const uint8_t*>(end);
    base_ = first;
    cursor_ = first;
    length_ = 0;
    if (first != nullptr && last > first) {
        const size_t length = static_cast<size_t>(last - first);
        // Payloads stay far below this; a longer range is read only up to it.
        length_ = length > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(length);
    }
}

const uint8_t* CStreamReader::Take(size_t n) {
    if (GetRemaining() < n) {
        return nullptr;
    }
    const uint8_t* at = cursor_;
    cursor_ += n;
    return at;
}

bool CStreamReader::ReadInt(int& value) {
    const uint8_t* at = Take(4);
    if (at == nullptr) {
        return false;
    }
    value = static_cast<int>(GetInt(at));
    return true;
}

bool CStreamReader::ReadByte(BYTE& value) {
    const uint8_t* at = Take(1);
    if (at == nullptr) {
        return false;
    }
    value = *at;
    return true;
}

bool CStreamReader::ReadSign(Sign& sign) {
    int first = 0;
    if (!ReadInt(first)) {
        return false;
    }
    sign.first = static_cast<uint32_t>(first);
    int second = 0;
    if (!ReadInt(second)) {
        return false;
    }
    sign.second = static_cast<uint32_t>(second);
    return true;
}

bool CStreamReader::ReadString(std::string& text) {
    const uint32_t remaining = GetRemaining();
    if (remaining == 0) {
        return false;
    }
    const void* nul = std::memchr(cursor_, 0, remaining);
    if (nul == nullptr) {
        return false;
    }
    const size_t length = static_cast<size_t>(static_cast<const uint8_t*>(nul) - cursor_);
    text.assign(reinterpret_cast<const char*>(cursor_), length);
    cursor_ += length + 1;
    return true;
}

bool CStreamReader::ReadQuad(PlayQuad& quad) {
    const uint8_t* at = Take(sizeof quad);
    if (at == nullptr) {
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        quad.value[i] = static_cast<int32_t>(GetInt(at + 4 * i));
    }
    return true;
}

bool CStreamReader::ReadBlock(PlayBlock& block) {
    return ReadRaw(block.bytes, sizeof block);
}

bool CStreamReader::ReadPlayRequest(PlayRequest& request) {
    return ReadRaw(&request, sizeof request);
}

bool CStreamReader::ReadRaw(void* out, int n) {
    if (n <= 0) {
        return n == 0;
    }
    const uint8_t* at = Take(static_cast<size_t>(n));
    if (at == nullptr) {
        return false;
    }
    std::memcpy(out, at, static_cast<size_t>(n));
    return true;
}

bool CStreamReader::ReadInts(int& a, int& b, int& c) {
    return ReadInt(a) && ReadInt(b) && ReadInt(c);
}

bool CStreamReader::ReadIntByte(int& value, BYTE& flag) {
    return ReadInt(value) && ReadByte(flag);
}

bool CStreamReader::ReadIntString(int& value, std::string& text) {
    return ReadInt(value) && ReadString(text);
}

bool CStreamReader::ReadSignInt(Sign& sign, int& value) {
    return ReadSign(sign) && ReadInt(value);
}

bool CStreamReader::ReadSignInts(Sign& sign, int& a, int& b, int& c) {
    return ReadSign(sign) && ReadInt(a) && ReadInt(b) && ReadInt(c);
}

bool CStreamReader::ReadSignStringInt(Sign& sign, std::string& text, int& value) {
    return ReadSign(sign) && ReadString(text) && ReadInt(value);
}

bool CStreamReader::ReadSignSignString(Sign& first, Sign& second, std::string& text) {
    return ReadSign(first) && ReadSign(second) && ReadString(text);
}

bool CStreamReader::ReadStartDown(Sign& sign, std::string& text, int& int1, int& int2, int& int3,
                                  int& tag, BYTE& flag) {
    return ReadSign(sign) && ReadString(text) && ReadInt(int1) && ReadInt(int2) && ReadInt(int3) &&
           ReadInt(tag) && ReadByte(flag);
}
