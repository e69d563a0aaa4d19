// Test support: persisted control states built byte by byte, and the client's own state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "persisted_state.h"

namespace flashtest {

using flash::kTypeObject;
using flash::kTypeString;

// Builds a state in the stored layout, little-endian.
struct Bytes {
    std::vector<uint8_t> data;
    Bytes& U16(uint16_t v) {
        data.push_back(uint8_t(v));
        data.push_back(uint8_t(v >> 8));
        return *this;
    }
    Bytes& U32(uint32_t v) { return U16(uint16_t(v)).U16(uint16_t(v >> 16)); }
    Bytes& Text(const std::u16string& t) {  // type 8, count with the zero, text, zero
        U16(kTypeString).U32(uint32_t(t.size() + 1) * 2);
        for (char16_t c : t) U16(c);
        return U16(0);
    }
    Bytes& Absent() { return U16(kTypeString).U32(0); }
    Bytes& Object() {
        U16(kTypeObject);
        data.insert(data.end(), 16, 0);
        return *this;
    }
};

// The client's control state: positions 0 to 2 (and two more unset ones) hold empty texts,
// the rest of the unset strings have no text at all. `menu` is the Menu property's text.
inline std::vector<uint8_t> ClientState(const std::u16string& menu = u"-1") {
    Bytes b;
    b.U32(0).U32(0x55665567).U32(0x900).U32(25929).U32(15981);
    b.Text(u"").Text(u"").Text(u"").Text(u"Window").Text(u"-1").Text(u"-1").Text(u"High");
    b.Text(u"").Text(menu).Absent().Text(u"").Text(u"ShowAll").Text(u"0").Text(u"0");
    b.Absent().Absent().Absent().Object().Text(u"1").Text(u"0").Absent().Text(u"0");
    b.Text(u"all").Text(u"false");
    return b.data;
}

}  // namespace flashtest
