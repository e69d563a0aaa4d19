#include "sign.h"

#include <gtest/gtest.h>

#include <set>

TEST(Sign, ConstructionGivesTheValues) {
    EXPECT_EQ(Sign().first, 0u);
    EXPECT_EQ(Sign().second, 0u);
    EXPECT_EQ(Sign(std::string()), Sign());
    Sign pair(7, 0xFFFFFFFFu);
    EXPECT_EQ(pair.first, 7u);
    EXPECT_EQ(pair.second, 0xFFFFFFFFu);
}

TEST(Sign, TextsHashStablyAndApart) {
    // Fixed values: a sign made from a text is stored and compared across processes and runs.
    EXPECT_EQ(Sign(std::string("a")), Sign(0xaf63dc4cu, 0x8601ec8cu));
    EXPECT_EQ(Sign(std::string("track-1")), Sign(std::string("track-1")));
    EXPECT_FALSE(Sign(std::string("track-1")) == Sign(std::string("track-2")));
    EXPECT_FALSE(Sign(std::string("x")) == Sign());
}

TEST(Sign, OrdersByFirstThenSecond) {
    const Sign ordered[] = {Sign(0, 0), Sign(0, 1), Sign(0, 0xFFFFFFFFu), Sign(1, 0),
                            Sign(0xFFFFFFFFu, 0)};
    for (size_t i = 0; i < std::size(ordered); ++i) {
        for (size_t j = 0; j < std::size(ordered); ++j) {
            EXPECT_EQ(ordered[i] < ordered[j], i < j) << i << " " << j;
        }
    }
    std::set<Sign> keys = {Sign(1, 2), Sign(1, 2), Sign(2, 1)};
    EXPECT_EQ(keys.size(), 2u);
}
