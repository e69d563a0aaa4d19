// The control's persisted state, as the dialog template stores it for a hosted control: a
// header of five 32-bit values, then the properties in the control's stored order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace flash {

inline constexpr uint16_t kTypeString = 8;   // a byte count, then UTF-16 text with its zero
inline constexpr uint16_t kTypeObject = 13;  // 16 zero bytes
inline constexpr size_t kPropertyCount = 24;

struct PersistedProperty {
    uint16_t type = 0;
    bool present = false;  // a string with a byte count of 0 has no text at all
    std::string text;      // the string's text as UTF-8
};

struct PersistedState {
    uint32_t header[3] = {};  // 0, a version mark, a flags word
    uint32_t extentX = 0;     // HIMETRIC
    uint32_t extentY = 0;
    std::vector<PersistedProperty> properties;

    // The property of a name the control stores at a known position, or null.
    const PersistedProperty* Find(const std::string& name) const;
};

// The names of the positions whose values the client's template sets.
const char* PersistedPropertyName(size_t position);

// Reads exactly `size` bytes; false with a reason in *error when they are not one whole state.
bool ReadPersistedState(const uint8_t* data, size_t size, PersistedState* state,
                        std::string* error);

}  // namespace flash
