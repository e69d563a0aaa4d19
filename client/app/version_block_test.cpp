// The version block read back as a reader of the layout finds its values: each node walked by
// its lengths, within its parent, the texts found by their path of keys, the fixed information
// where the layout puts it.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "version_block.h"

namespace {

struct Node {
    std::u16string key;
    WORD type = 0;
    std::vector<BYTE> value;
    std::vector<Node> children;
};

WORD U16(const std::vector<BYTE>& b, size_t at) {
    return WORD(b[at] | b[at + 1] << 8);
}
size_t Aligned(size_t at) {
    return (at + 3) & ~size_t(3);
}

// Reads the node at `at`, which must end by `end`; nullopt for a node that does not fit.
std::optional<Node> Read(const std::vector<BYTE>& b, size_t at, size_t end) {
    if (at + 6 > end)
        return std::nullopt;
    size_t length = U16(b, at), valueLength = U16(b, at + 2);
    Node node;
    node.type = U16(b, at + 4);
    if (length < 6 || at + length > end)
        return std::nullopt;
    size_t p = at + 6;
    for (; p + 1 < at + length && U16(b, p) != 0; p += 2) node.key += char16_t(U16(b, p));
    p = Aligned(p + 2);
    size_t valueBytes = node.type == 1 ? valueLength * 2 : valueLength;
    if (p + valueBytes > at + length)
        return std::nullopt;
    node.value.assign(b.begin() + long(p), b.begin() + long(p + valueBytes));
    for (p = Aligned(p + valueBytes); p < at + length; p = Aligned(p + U16(b, p))) {
        auto child = Read(b, p, at + length);
        if (!child)
            return std::nullopt;
        node.children.push_back(*child);
    }
    return node;
}

const Node* Find(const Node& root, const std::vector<std::u16string>& path) {
    const Node* node = &root;
    for (const std::u16string& key : path) {
        const Node* next = nullptr;
        for (const Node& child : node->children)
            if (child.key == key)
                next = &child;
        if (!next)
            return nullptr;
        node = next;
    }
    return node;
}

std::u16string Text(const Node& node) {
    std::u16string text;
    for (size_t i = 0; i + 1 < node.value.size() && U16(node.value, i) != 0; i += 2)
        text += char16_t(U16(node.value, i));
    return text;
}

TEST(VersionBlockTest, TheProgramsValuesAreWhereAReaderLooksForThem) {
    const std::vector<BYTE> bytes = BuildVersionBlock(ProgramVersion());
    ASSERT_EQ(U16(bytes, 0), bytes.size()) << "the root's length is the whole block";
    auto root = Read(bytes, 0, bytes.size());
    ASSERT_TRUE(root);
    EXPECT_EQ(root->key, u"VS_VERSION_INFO");

    // The fixed information: signature, structure version, file and product versions, type.
    ASSERT_EQ(root->value.size(), 52u);
    DWORD fixed[13];
    std::memcpy(fixed, root->value.data(), sizeof fixed);
    EXPECT_EQ(fixed[0], 0xFEEF04BDu);
    EXPECT_EQ(fixed[1], 0x00010000u);
    EXPECT_EQ(fixed[2], 0x00010000u) << "file version 1.0";
    EXPECT_EQ(fixed[3], 0u) << "file version .0.0";
    EXPECT_EQ(fixed[4], 0x00010000u) << "product version 1.0";
    EXPECT_EQ(fixed[5], 0u);
    EXPECT_EQ(fixed[9], 1u) << "an application";

    const struct {
        const char16_t* key;
        const char16_t* value;
    } strings[] = {
        {u"FileDescription", u"BrindoDJ"}, {u"ProductName", u"BrindoDJ"},
        {u"FileVersion", u"1.0.0.1"},      {u"ProductVersion", u"1.0.0.0"},
        {u"InternalName", u"BRDJ.exe"},    {u"OriginalFilename", u"BRDJ.exe"},
    };
    for (const auto& s : strings) {
        const Node* node = Find(*root, {u"StringFileInfo", u"080403a8", s.key});
        ASSERT_NE(node, nullptr) << std::string(s.key,
                                                s.key + std::char_traits<char16_t>::length(s.key));
        EXPECT_EQ(node->type, 1);
        EXPECT_EQ(Text(*node), s.value);
    }
    const Node* translation = Find(*root, {u"VarFileInfo", u"Translation"});
    ASSERT_NE(translation, nullptr);
    EXPECT_EQ(translation->value, (std::vector<BYTE>{0x04, 0x08, 0xA8, 0x03}))
        << "language 0x0804, code page 936";
}

TEST(VersionBlockTest, EveryNodeStartsOnFourBytesAndValuesKeepTheirLength) {
    VersionBlock odd = ProgramVersion();
    // Keys and values of odd and even lengths, so that padding is needed in each place.
    odd.strings = {{u"A", u"x"}, {u"Bb", u""}, {u"Ccc", u"yyyy"}};
    const std::vector<BYTE> bytes = BuildVersionBlock(odd);
    auto root = Read(bytes, 0, bytes.size());
    ASSERT_TRUE(root);
    const Node* table = Find(*root, {u"StringFileInfo", u"080403a8"});
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->children.size(), 3u);
    EXPECT_EQ(Text(table->children[0]), u"x");
    EXPECT_EQ(Text(table->children[1]), u"");
    EXPECT_EQ(table->children[1].value.size(), 2u) << "an empty value is its zero";
    EXPECT_EQ(Text(table->children[2]), u"yyyy");
}

}  // namespace
