// What counts as a version text, and the one installer path a version gives.
#include <gtest/gtest.h>

#include "update_contract.h"

namespace {

TEST(UpdateContractTest, VersionTexts) {
    const struct {
        std::string text;
        bool accepted;
    } cases[] = {
        {"1.0.0.5", true},
        {"10", true},
        {"0.0.0.0", true},
        {"1.0.0.18446744073709551616", true},
        {std::string(32, '9'), true},
        {std::string(33, '9'), false},  // too long
        {"", false},
        {".", false},
        {"1.", false},
        {".1", false},
        {"1..2", false},
        {"1.0.0.5 ", false},
        {" 1.0.0.5", false},
        {"1.0.0.5\n", false},
        {"1,0", false},
        {"-1", false},
        {"+1", false},
        {"1.0.0.5/../../evil", false},
        {"../../outside", false},
        {"1.0\\..\\x", false},
        {"1.0.0.5;rm", false},
        {"1.0.0.5.exe", false},
        {"v1.0", false},
        {"1.0%2F..", false},
        {"\xef\xbc\x91", false},  // a full-width digit
        {std::string("1\0"
                     "2",
                     3),
         false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsVersionText(c.text), c.accepted) << "\"" << c.text << "\"";
    }
}

TEST(UpdateContractTest, InstallerPaths) {
    EXPECT_EQ(InstallerFileName("1.0.0.5"), "BRDJ_1.0.0.5.exe");
    EXPECT_EQ(InstallerPath("/data/BRDJ/", "1.0.0.5"), "/data/BRDJ/BRDJ_1.0.0.5.exe");
    EXPECT_EQ(InstallerPath("/data/BRDJ/", "../1"), "");
    EXPECT_EQ(InstallerPath("/data/BRDJ/", ""), "");
    EXPECT_EQ(InstallerPath("", "1.0.0.5"), "");  // never a path relative to the current folder
    EXPECT_EQ(DataDirectory("/share/"), "/share/BRDJ/");
    EXPECT_EQ(DataDirectory(""), "");
}

}  // namespace
