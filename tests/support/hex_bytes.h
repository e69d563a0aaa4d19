// Test support: the one notation the tests write bytes in, hex pairs ("05 00 00 00 | 61 00"),
// and its reading back, for exact wire and payload bytes as tables of cases; and builders for
// payloads made of values (32-bit integers as the host lays them out, zero-ended texts), into
// a string or a byte vector.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <stdexcept>
#include <string>

namespace brtest {

// "05 00 00 00 | 61 00": hex byte pairs; spaces, '|' and line breaks only separate them.
inline std::string Bytes(const char* hex) {
    std::string out;
    int high = -1;
    for (const char* p = hex; *p != '\0'; ++p) {
        const char c = *p;
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c == ' ' || c == '|' || c == '\n') {
            if (high >= 0) {
                throw std::invalid_argument("odd hex digit");
            }
            continue;
        } else {
            throw std::invalid_argument("not a hex digit");
        }
        if (high < 0) {
            high = digit;
        } else {
            out.push_back(static_cast<char>(high << 4 | digit));
            high = -1;
        }
    }
    if (high >= 0) {
        throw std::invalid_argument("odd hex digit");
    }
    return out;
}

// The bytes as "05 00 00 00 61 00".
inline std::string Hex(const void* data, size_t size) {
    std::string out;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        if (i != 0) {
            out += ' ';
        }
        out += pair;
    }
    return out;
}

inline std::string Hex(const std::string& bytes) {
    return Hex(bytes.data(), bytes.size());
}

// The normal form of a hex notation, for comparing with Hex().
inline std::string Norm(const char* hex) {
    return Hex(Bytes(hex));
}

// n bytes counting up from first: "00 01 02 ...".
inline std::string Counting(size_t n, uint8_t first = 0) {
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out.push_back(static_cast<char>(first + i));
    }
    return out;
}

// The values as the host's 32-bit integers, one after another.
template <class Out = std::string>
Out Ints(std::initializer_list<int> values) {
    Out bytes(values.size() * sizeof(int), 0);
    std::memcpy(bytes.data(), std::data(values), bytes.size());
    return bytes;
}

// The characters of text and a terminating zero.
template <class Out = std::string>
Out Text(const std::string& text) {
    Out bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

// The parts one after another.
template <class Out>
Out Cat(std::initializer_list<Out> parts) {
    Out all;
    for (const Out& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

}  // namespace brtest
