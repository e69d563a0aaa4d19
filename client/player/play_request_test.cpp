// The bytes CPlayerCtrl::Open hands the core, checked at every offset against an image built
// from the field offsets alone.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "player_ctrl.h"
#include "recording_player_core.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr size_t kRequestSize = 2592;

void PutInt(Bytes& image, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        image[offset + i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

void PutText(Bytes& image, size_t offset, const std::string& text) {
    std::memcpy(image.data() + offset, text.data(), text.size());
}

struct RequestCase {
    const char* name;
    std::string text1, text2, text3, text4;
    int number;
    Sign sign;
    int extra;
    // What each text field must hold (the bytes before the zeros).
    std::string field1, field2, field3, field4;
};

void PrintTo(const RequestCase& c, std::ostream* os) {
    *os << c.name;
}

class OpenRequestTest : public ::testing::TestWithParam<RequestCase> {};

TEST_P(OpenRequestTest, EveryByteOfTheRequest) {
    const RequestCase& c = GetParam();
    playertest::RecordingPlayerCore core;
    std::memset(core.requestBytes, 0xEE, sizeof core.requestBytes);
    CPlayerCtrl player;
    player.SetCore(&core);
    CPlayItem item;
    item.Set(c.text1, c.text2, c.text3, c.text4, c.number, c.sign, c.extra);
    ASSERT_TRUE(player.Open(item));

    Bytes expected(kRequestSize, 0);
    PutInt(expected, 4, static_cast<uint32_t>(c.number));
    PutInt(expected, 520, c.sign.first);
    PutInt(expected, 524, c.sign.second);
    PutText(expected, 528, c.field4);
    PutInt(expected, 1052, static_cast<uint32_t>(c.extra));
    PutText(expected, 1056, c.field1);
    PutText(expected, 1568, c.field2);
    PutText(expected, 2080, c.field3);
    Bytes actual(core.requestBytes, core.requestBytes + kRequestSize);
    for (size_t offset = 0; offset < kRequestSize; ++offset) {
        ASSERT_EQ(int(actual[offset]), int(expected[offset])) << "offset " << offset;
    }
}

const std::string k511a(511, 'a');
const std::string k511b(511, 'b');
const std::string k511c(511, 'c');
const std::string k511d(511, 'd');
// 510 bytes and a two-byte GBK character ("播"): the cut splits it, keeping its lead byte.
const std::string kSplit = std::string(510, 'x') + "\xB2\xA5";

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenRequestTest,
    ::testing::Values(RequestCase{"empty_fields", "", "", "", "", 0, Sign(), 0, "", "", "", ""},
                      RequestCase{"short_texts_and_values", "song.flac", "two", "three", "four", -2,
                                  Sign(0x11223344u, 0xAABBCCDDu), 0x01020304, "song.flac", "two",
                                  "three", "four"},
                      RequestCase{"texts_of_511_bytes_whole", k511a, k511b, k511c, k511d, 7,
                                  Sign(1, 2), -1, k511a, k511b, k511c, k511d},
                      RequestCase{"texts_of_512_bytes_lose_the_last", k511a + "A", k511b + "B",
                                  k511c + "C", k511d + "D", 0, Sign(), 0, k511a, k511b, k511c,
                                  k511d},
                      RequestCase{"longer_texts_cut_at_511", std::string(4000, 'q'), "", "", "", 0,
                                  Sign(), 0, std::string(511, 'q'), "", "", ""},
                      RequestCase{"double_byte_character_split", kSplit, "", "", kSplit, 0, Sign(),
                                  0, kSplit.substr(0, 511), "", "", kSplit.substr(0, 511)}),
    [](const auto& info) { return std::string(info.param.name); });

// A fresh item gives a request of zeros but for the Sign of the empty text.
TEST(OpenRequest, AResetItemGivesZerosAndTheEmptySign) {
    playertest::RecordingPlayerCore core;
    std::memset(core.requestBytes, 0xEE, sizeof core.requestBytes);
    CPlayerCtrl player;
    player.SetCore(&core);
    CPlayItem item;
    item.Set("a", "b", "c", "d", 5, Sign(9, 9), 5);
    item.Reset();
    ASSERT_TRUE(player.Open(item));
    Bytes expected(kRequestSize, 0);
    const Sign empty(std::string(""));
    PutInt(expected, 520, empty.first);
    PutInt(expected, 524, empty.second);
    EXPECT_EQ(Bytes(core.requestBytes, core.requestBytes + kRequestSize), expected);
}

TEST(PlayItem, SetAndGetEveryField) {
    CPlayItem item;
    item.Set("1", "2", "3", "4", -9, Sign(3, 4), 11);
    EXPECT_EQ(item.GetText1(), "1");
    EXPECT_EQ(item.GetText2(), "2");
    EXPECT_EQ(item.GetText3(), "3");
    EXPECT_EQ(item.GetText4(), "4");
    EXPECT_EQ(item.GetNumber(), -9);
    EXPECT_EQ(item.GetSign(), Sign(3, 4));
    EXPECT_EQ(item.GetExtra(), 11);
}

}  // namespace
