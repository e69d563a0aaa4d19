#include "number_text.h"

#include <sstream>

namespace {

// The stream stores the type's limit on an overflow, with the failure flag set; the flag, not
// the stored value, decides, so an overflow gives 0 as a missing number does.
template <typename T>
T ReadNumber(const std::string& text) {
    try {
        std::stringstream stream(text, std::ios::in | std::ios::out);
        T value = 0;
        if (stream >> value) {
            return value;
        }
    } catch (...) {
    }
    return 0;
}

}  // namespace

// unsigned int is the 32-bit unsigned long of the movie's numbers; the stream reads it with that
// type's range.
uint32_t StrToULong(const std::string& text) {
    return ReadNumber<unsigned int>(text);
}

int32_t StrToInt(const std::string& text) {
    return ReadNumber<int>(text);
}
