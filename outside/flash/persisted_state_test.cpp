#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "persisted_state.h"
#include "state_bytes.h"

namespace {

using namespace flash;
using flashtest::Bytes;
using flashtest::ClientState;

TEST(ReadPersistedState, ReadsTheClientsControlState) {
    std::vector<uint8_t> data = ClientState();
    ASSERT_EQ(data.size(), 284u);
    PersistedState state;
    std::string error;
    ASSERT_TRUE(ReadPersistedState(data.data(), data.size(), &state, &error)) << error;
    EXPECT_EQ(state.header[0], 0u);
    EXPECT_EQ(state.header[1], 0x55665567u);
    EXPECT_EQ(state.header[2], 0x900u);
    EXPECT_EQ(state.extentX, 25929u);
    EXPECT_EQ(state.extentY, 15981u);
    ASSERT_EQ(state.properties.size(), kPropertyCount);
    const struct {
        const char* name;
        const char* value;
    } set[] = {
        {"WMode", "Window"},
        {"Play", "-1"},
        {"Loop", "-1"},
        {"Quality", "High"},
        {"Menu", "-1"},
        {"Scale", "ShowAll"},
        {"DeviceFont", "0"},
        {"EmbedMovie", "0"},
        {"SeamlessTabbing", "1"},
        {"Profile", "0"},
        {"ProfilePort", "0"},
        {"AllowNetworking", "all"},
        {"AllowFullScreen", "false"},
    };
    for (const auto& s : set) {
        const PersistedProperty* p = state.Find(s.name);
        ASSERT_NE(p, nullptr) << s.name;
        EXPECT_EQ(p->type, kTypeString) << s.name;
        EXPECT_TRUE(p->present) << s.name;
        EXPECT_EQ(p->text, s.value) << s.name;
    }
    EXPECT_EQ(state.Find("InlineData")->type, kTypeObject);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(state.properties[i].present) << i;
        EXPECT_EQ(state.properties[i].text, "") << i;
    }
    EXPECT_FALSE(state.properties[9].present);
    EXPECT_EQ(state.Find("Movie"), nullptr);
}

TEST(ReadPersistedState, RefusesBrokenStatesWithAReason) {
    const std::vector<uint8_t> good = ClientState();
    auto with = [&](size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> d = good;
        for (size_t i = 0; i < bytes.size(); ++i) d[at + i] = bytes[i];
        return d;
    };
    // Offsets in the client's state: property 0's type at 20, its count at 22.
    const struct {
        const char* name;
        std::vector<uint8_t> data;
        const char* error;
    } cases[] = {
        {"empty", {}, "truncated header"},
        {"header cut", std::vector<uint8_t>(good.begin(), good.begin() + 19), "truncated header"},
        {"cut in the last text", std::vector<uint8_t>(good.begin(), good.end() - 1),
         "property 23: string longer than the state"},
        {"trailing byte",
         [&] {
             auto d = good;
             d.push_back(0);
             return d;
         }(),
         "1 bytes after the last property"},
        {"unknown type", with(20, {3, 0}), "property 0: unknown property type 3"},
        {"odd count", with(22, {3, 0, 0, 0}), "property 0: odd string length"},
        {"huge count", with(22, {0xFE, 0xFF, 0xFF, 0xFF}),
         "property 0: string longer than the state"},
        {"no zero", with(26, {'x', 0}), "property 0: string without its zero"},
    };
    for (const auto& c : cases) {
        PersistedState state;
        state.extentX = 7;
        std::string error;
        EXPECT_FALSE(ReadPersistedState(c.data.data(), c.data.size(), &state, &error)) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
        EXPECT_EQ(state.extentX, 7u) << c.name;  // untouched
    }
}

TEST(ReadPersistedState, DecodesTextBeyondAscii) {
    Bytes b;
    b.U32(0).U32(0).U32(0).U32(1).U32(2).Text(u"中\U0001F3B5");
    for (size_t i = 1; i < kPropertyCount; ++i) b.Absent();
    PersistedState state;
    std::string error;
    ASSERT_TRUE(ReadPersistedState(b.data.data(), b.data.size(), &state, &error)) << error;
    EXPECT_EQ(state.properties[0].text, "中\U0001F3B5");

    Bytes lone;
    lone.U32(0).U32(0).U32(0).U32(1).U32(2).Text(std::u16string(1, char16_t(0xD800)));
    for (size_t i = 1; i < kPropertyCount; ++i) lone.Absent();
    EXPECT_FALSE(ReadPersistedState(lone.data.data(), lone.data.size(), &state, &error));
    EXPECT_EQ(error, "property 0: broken UTF-16 text");
}

}  // namespace
