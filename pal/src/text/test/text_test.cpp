#include <gtest/gtest.h>

#include <string>

#include "windows.h"

TEST(IsDBCSLeadByte, FollowsTheGbkRange) {
    const struct {
        UINT codePage;
        BYTE byte;
        BOOL lead;
    } cases[] = {
        {CP_ACP, 0x00, FALSE}, {CP_ACP, 0x41, FALSE}, {CP_ACP, 0x80, FALSE},
        {CP_ACP, 0x81, TRUE},  {CP_ACP, 0xC4, TRUE},  {CP_ACP, 0xFE, TRUE},
        {CP_ACP, 0xFF, FALSE}, {CP_GBK, 0xB0, TRUE},  {65001, 0xB0, FALSE},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsDBCSLeadByteEx(c.codePage, c.byte), c.lead) << int(c.byte);
    }
    EXPECT_TRUE(IsDBCSLeadByte(0x81));
    EXPECT_FALSE(IsDBCSLeadByte('<'));
}

TEST(PalGbk, ConvertsOnceAndKeepsThePointer) {
    const char* first = PalGbk("中文");
    EXPECT_EQ(std::string(first), std::string("\xD6\xD0\xCE\xC4"));
    EXPECT_EQ(PalGbk("中文"), first);
    EXPECT_STREQ(PalGbk("plain"), "plain");
    EXPECT_STREQ(PalGbk("\xFF\xFE broken"), "\xFF\xFE broken");
}
