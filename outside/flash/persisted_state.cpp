#include "persisted_state.h"

#include <cstring>

namespace flash {
namespace {

// Positions of the stored order whose names the control gives; the others have no name here.
const char* const kNames[kPropertyCount] = {
    nullptr,      nullptr,       nullptr,           "WMode",
    "Play",       "Loop",        "Quality",         nullptr,
    "Menu",       nullptr,       nullptr,           "Scale",
    "DeviceFont", "EmbedMovie",  nullptr,           nullptr,
    nullptr,      "InlineData",  "SeamlessTabbing", "Profile",
    nullptr,      "ProfilePort", "AllowNetworking", "AllowFullScreen",
};

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool U16(uint16_t* v) { return Take(v, 2); }
    bool U32(uint32_t* v) { return Take(v, 4); }
    bool Bytes(size_t n, const uint8_t** at) {
        if (size_ - pos_ < n)
            return false;
        *at = data_ + pos_;
        pos_ += n;
        return true;
    }
    bool AtEnd() const { return pos_ == size_; }
    size_t Position() const { return pos_; }

private:
    template <typename T>
    bool Take(T* v, size_t n) {
        const uint8_t* at = nullptr;
        if (!Bytes(n, &at))
            return false;
        *v = 0;
        for (size_t i = 0; i < n; ++i) *v = T(*v | T(at[i]) << (8 * i));  // little-endian
        return true;
    }
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

void AppendUtf8(uint32_t c, std::string* out) {
    if (c < 0x80) {
        *out += char(c);
    } else if (c < 0x800) {
        *out += char(0xC0 | c >> 6);
        *out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out += char(0xE0 | c >> 12);
        *out += char(0x80 | (c >> 6 & 0x3F));
        *out += char(0x80 | (c & 0x3F));
    } else {
        *out += char(0xF0 | c >> 18);
        *out += char(0x80 | (c >> 12 & 0x3F));
        *out += char(0x80 | (c >> 6 & 0x3F));
        *out += char(0x80 | (c & 0x3F));
    }
}

// UTF-16LE text of `units` units (its zero already removed) as UTF-8; false on a broken pair.
bool Utf16ToUtf8(const uint8_t* at, size_t units, std::string* out) {
    for (size_t i = 0; i < units; ++i) {
        uint32_t c = at[2 * i] | at[2 * i + 1] << 8;
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units) {
            uint32_t low = at[2 * i + 2] | at[2 * i + 3] << 8;
            if (low < 0xDC00 || low >= 0xE000)
                return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            return false;
        }
        AppendUtf8(c, out);
    }
    return true;
}

bool ReadProperty(Reader* in, PersistedProperty* p, std::string* error) {
    if (!in->U16(&p->type))
        return *error = "truncated property type", false;
    const uint8_t* at = nullptr;
    if (p->type == kTypeObject) {
        if (!in->Bytes(16, &at))
            return *error = "truncated object", false;
        p->present = true;
        return true;
    }
    if (p->type != kTypeString)
        return *error = "unknown property type " + std::to_string(p->type), false;
    uint32_t bytes = 0;
    if (!in->U32(&bytes))
        return *error = "truncated string length", false;
    if (bytes == 0)
        return true;
    if (bytes % 2 != 0)
        return *error = "odd string length", false;
    if (!in->Bytes(bytes, &at))
        return *error = "string longer than the state", false;
    if (at[bytes - 2] != 0 || at[bytes - 1] != 0)
        return *error = "string without its zero", false;
    p->present = true;
    if (!Utf16ToUtf8(at, bytes / 2 - 1, &p->text))
        return *error = "broken UTF-16 text", false;
    return true;
}

}  // namespace

const char* PersistedPropertyName(size_t position) {
    return position < kPropertyCount ? kNames[position] : nullptr;
}

const PersistedProperty* PersistedState::Find(const std::string& name) const {
    for (size_t i = 0; i < properties.size(); ++i) {
        const char* n = PersistedPropertyName(i);
        if (n != nullptr && name == n)
            return &properties[i];
    }
    return nullptr;
}

bool ReadPersistedState(const uint8_t* data, size_t size, PersistedState* state,
                        std::string* error) {
    Reader in(data, size);
    PersistedState read;
    if (!in.U32(&read.header[0]) || !in.U32(&read.header[1]) || !in.U32(&read.header[2]) ||
        !in.U32(&read.extentX) || !in.U32(&read.extentY)) {
        *error = "truncated header";
        return false;
    }
    read.properties.resize(kPropertyCount);
    for (size_t i = 0; i < kPropertyCount; ++i) {
        if (!ReadProperty(&in, &read.properties[i], error)) {
            *error = "property " + std::to_string(i) + ": " + *error;
            return false;
        }
    }
    if (!in.AtEnd()) {
        *error = std::to_string(size - in.Position()) + " bytes after the last property";
        return false;
    }
    *state = std::move(read);
    return true;
}

}  // namespace flash
