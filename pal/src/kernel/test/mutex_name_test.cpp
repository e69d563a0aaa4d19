#include "kernel/mutex_name.h"

#include <gtest/gtest.h>

#include <string>

#include "windows.h"

namespace {

TEST(MutexFileFor, EscapesEverythingButSafeCharacters) {
    const struct {
        std::string name;
        std::string file;
    } cases[] = {
        {"Brindo_DJ_Mutex-2011", "Brindo_DJ_Mutex-2011"},
        {"a/b", "a%2Fb"},
        {"..", "%2E%2E"},
        {".guard", "%2Eguard"},
        {"%2F", "%252F"},
        {"Global\\x y", "Global%5Cx%20y"},
        {"+", "%2B"},
        {"\xD6\xD0", "%D6%D0"},
        {std::string(200, 'a'), std::string(200, 'a')},
        {std::string(201, 'a'), std::string(200, 'a') + "+/a"},
        {std::string(401, 'b'), std::string(200, 'b') + "+/" + std::string(200, 'b') + "+/b"},
        {std::string(199, 'c') + "/", std::string(199, 'c') + "%+/2F"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pal::MutexFileFor(c.name), c.file) << c.name;
    }
}

TEST(ObjectNameLength, CountsAGbkPairAsOneCharacter) {
    const struct {
        std::string name;
        size_t length;
    } cases[] = {
        {"", 0},
        {"abc", 3},
        {"\xD6\xD0\xCE\xC4", 2},
        {"a\xD6\xD0z", 3},
        {"\xD6", 1},  // a lead byte without its trail
        {"\xD6\xD0\xD6", 2},
        {"\x80\x80", 2},  // not lead bytes
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pal::ObjectNameLength(c.name), c.length) << c.name;
    }
}

}  // namespace
