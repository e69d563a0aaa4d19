// The movie's number texts, as a table: the stream's reading, and 0 for no digits and for values
// outside the type's range.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "number_text.h"

namespace {

struct NumberCase {
    const char* text;
    uint32_t asULong;
    int32_t asInt;
};

void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class NumberTextTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberTextTest, ReadsAsTheStreamDoes) {
    const NumberCase& c = GetParam();
    EXPECT_EQ(StrToULong(c.text), c.asULong) << '"' << c.text << '"';
    EXPECT_EQ(StrToInt(c.text), c.asInt) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberTextTest,
    ::testing::Values(
        NumberCase{"80", 80, 80}, NumberCase{"   7", 7, 7}, NumberCase{"\t\n 7", 7, 7},
        NumberCase{"12.5", 12, 12}, NumberCase{"", 0, 0}, NumberCase{"   ", 0, 0},
        NumberCase{"a7", 0, 0}, NumberCase{"7a", 7, 7}, NumberCase{"0x10", 0, 0},
        NumberCase{"+5", 5, 5},
        // The stream negates an unsigned value.
        NumberCase{"-3", 4294967293u, -3}, NumberCase{"2147483647", 2147483647u, 2147483647},
        NumberCase{"2147483648", 2147483648u, 0}, NumberCase{"-2147483648", 2147483648u, INT32_MIN},
        NumberCase{"-2147483649", 2147483647u, 0}, NumberCase{"4294967295", 4294967295u, 0},
        NumberCase{"4294967296", 0, 0}, NumberCase{"4294967297", 0, 0},
        NumberCase{"-4294967296", 0, 0}, NumberCase{"99999999999999999999", 0, 0}));

}  // namespace
