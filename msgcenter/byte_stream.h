// The byte stream: the payload codec of every command, reply and notification between the proxy
// and the service. No header, no length prefix, no alignment: fields follow each other in the
// order they are written.
//
//   int      4 bytes, little-endian        byte    1 byte (a flag is 0 or 1)
//   Sign     8 bytes: first, then second   string  its characters, then one NUL
//   quad     16 bytes: four ints           block   56 raw bytes
//   request  2592 raw bytes (PlayRequest)  raw     n bytes, the reader is told n
//
// A string on the wire is a C text: it ends at its first NUL, so a std::string holding a NUL of
// its own is written up to that NUL. A null text is written as the empty string.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "play_blocks.h"
#include "play_request.h"
#include "sign.h"

// Builds a payload in a buffer it owns and releases. Writers have no failure result; a payload
// larger than kMaxSize (the message center's lengths are int32) throws std::length_error, and
// an allocation that fails throws std::bad_alloc.
class CStreamWriter {
public:
    static constexpr size_t kMaxSize = 0x7FFFFFFF;

    CStreamWriter() = default;
    ~CStreamWriter();
    CStreamWriter(CStreamWriter&& other) noexcept;
    CStreamWriter& operator=(CStreamWriter&& other) noexcept;
    CStreamWriter(const CStreamWriter&) = delete;
    CStreamWriter& operator=(const CStreamWriter&) = delete;

    // Releases the buffer: no data, size 0, capacity 0.
    void Clear();
    // The payload: null and 0 while nothing has been written.
    const uint8_t* GetData() const { return buffer_; }
    int GetSize() const { return static_cast<int>(size_); }
    uint32_t GetCapacity() const { return capacity_; }

    // Room for n more bytes. The capacity doubles from 1 until it holds what is needed, so
    // capacities are powers of two.
    void Reserve(size_t n);

    void WriteInt(int value);
    void WriteByte(BYTE value);
    void WriteSign(const Sign& sign);
    // A Sign handed over as its two values: the same 8 bytes as WriteSign.
    void WriteSignInts(uint32_t first, uint32_t second);
    void WriteString(const std::string& text);
    void WriteText(const char* text);
    void WriteQuad(const PlayQuad& quad);
    void WriteBlock(const PlayBlock& block);
    void WritePlayRequest(const PlayRequest& request);
    // n raw bytes; nothing at all, not even an allocation, when n is 0 or below. Null bytes with
    // n above 0 write n zero bytes, so a length written before them stays true.
    void WriteRaw(const void* bytes, int n);

    // Composites: the command (an int) and then the fields, in the order of their names.
    void WriteCmdInt(int command, int value);
    void WriteCmdInts(int command, int a, int b, int c);
    void WriteCmdByte(int command, BYTE value);
    void WriteCmdQuad(int command, const PlayQuad& quad);
    void WriteCmdBlock(int command, const PlayBlock& block);
    void WriteCmdPlayRequest(int command, const PlayRequest& request);
    void WriteCmdIntByte(int command, int value, BYTE flag);
    void WriteCmdSign(int command, const Sign& sign);
    void WriteCmdSignInt(int command, const Sign& sign, int value);
    void WriteCmdSignInts(int command, const Sign& sign, int a, int b, int c);
    void WriteCmdSignStringInt(int command, const Sign& sign, const char* text, int value);
    void WriteCmdSignSignString(int command, const Sign& first, const Sign& second,
                                const char* text);
    // Both Signs handed over as their two values.
    void WriteCmdSignPair(int command, uint32_t first1, uint32_t first2, uint32_t second1,
                          uint32_t second2, const char* text);
    // Sign, text, int 1, int 2, int 3, observer tag, flag.
    void WriteStartDown(int command, const Sign& sign, const char* text, int int1, int int2,
                        int int3, int tag, BYTE flag);
    // No command: the reply of P2P_CMD_GET_RES_INFO.
    void WriteIntString(int value, const char* text);

private:
    void WriteCText(const char* text, size_t length);
    uint8_t* Advance(size_t n);

    uint8_t* buffer_ = nullptr;
    uint32_t size_ = 0;
    uint32_t capacity_ = 0;
};

// Reads a payload in place, never past its end, and never releases it. Each read returns true
// when its whole field was there; otherwise false, with its output and the cursor as they were.
// The exceptions are ReadSign with 4 to 7 bytes left, which sets the first value and moves 4
// bytes, and the composites, which stop at the first field that fails and keep what they read
// before it.
class CStreamReader {
public:
    CStreamReader() = default;
    CStreamReader(const CStreamReader&) = delete;
    CStreamReader& operator=(const CStreamReader&) = delete;

    // The bytes from begin up to end, not copied: they must stay valid while the reader is used.
    // A null begin or an end before begin gives an empty payload.
    void Attach(const void* begin, const void* end);
    // Bytes not read yet.
    uint32_t GetRemaining() const { return length_ - static_cast<uint32_t>(cursor_ - base_); }

    bool ReadInt(int& value);
    bool ReadByte(BYTE& value);
    bool ReadSign(Sign& sign);
    // The characters up to the next NUL inside the payload; false when there is none.
    bool ReadString(std::string& text);
    bool ReadQuad(PlayQuad& quad);
    bool ReadBlock(PlayBlock& block);
    bool ReadPlayRequest(PlayRequest& request);
    // n raw bytes into out; n of 0 reads nothing and succeeds, a negative n fails.
    bool ReadRaw(void* out, int n);

    // Composites: the fields after the command, in the order of their names.
    bool ReadInts(int& a, int& b, int& c);
    bool ReadIntByte(int& value, BYTE& flag);
    bool ReadIntString(int& value, std::string& text);
    bool ReadSignInt(Sign& sign, int& value);
    bool ReadSignInts(Sign& sign, int& a, int& b, int& c);
    bool ReadSignStringInt(Sign& sign, std::string& text, int& value);
    bool ReadSignSignString(Sign& first, Sign& second, std::string& text);
    // Sign, text, int 1, int 2, int 3, observer tag, flag.
    bool ReadStartDown(Sign& sign, std::string& text, int& int1, int& int2, int& int3, int& tag,
                       BYTE& flag);

private:
    // The next n (above 0) bytes, consumed; null, and nothing consumed, when fewer are left.
    const uint8_t* Take(size_t n);

    const uint8_t* base_ = nullptr;
    const uint8_t* cursor_ = nullptr;
    uint32_t length_ = 0;
};
