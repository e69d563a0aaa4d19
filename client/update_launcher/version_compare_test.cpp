// Dotted versions compare part by part as numbers; a missing part is 0.
#include <gtest/gtest.h>

#include "version_compare.h"

namespace {

TEST(CompareVersionsTest, Table) {
    const struct {
        const char* installed;
        const char* service;
        int order;  // of installed against service
    } cases[] = {
        {"1.0.0.0", "1.0.0.1", -1},
        {"1.0.0.1", "1.0.0.1", 0},
        {"1.0.0.9", "1.0.0.10", -1},  // byte order would call 1.0.0.9 the greater
        {"1.0.0.10", "1.0.0.9", 1},   // and download the older 1.0.0.9
        {"1.0.0.2", "1.0.0.10", -1},
        {"1.0.10.0", "1.0.9.99", 1},
        {"2", "1.99.99.99", 1},
        {"1.2", "1.2.0.0", 0},  // missing parts are 0
        {"1.2", "1.2.0.1", -1},
        {"1.2.0.1", "1.2", 1},
        {"01.002", "1.2", 0},  // leading zeros do not count
        {"0", "0.0.0", 0},
        {"1.0.0.18446744073709551616", "1.0.0.18446744073709551615", 1},  // beyond 64 bits
        {"99999999999999999999", "100000000000000000000", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CompareVersions(c.installed, c.service), c.order)
            << c.installed << " against " << c.service;
        EXPECT_EQ(CompareVersions(c.service, c.installed), -c.order)
            << c.service << " against " << c.installed;
    }
}

}  // namespace
