#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml_test_util.h"

namespace {

// The number reply of the call bridge: the whole document is the element and CR LF.
TEST(AddElement, NumberReply) {
    CXmlArchive reply(3);
    ASSERT_TRUE(reply.AddElement("number", "42"));
    const std::string text = reply.GetDocText();
    EXPECT_EQ(text, "<number>42</number>\r\n");
    EXPECT_EQ(text.size(), 21u);
    EXPECT_TRUE(reply.IsWellFormed());
    EXPECT_EQ(reply.GetCurrentPos(), 1);
    EXPECT_EQ(reply.GetNodeKind(), 1);
    EXPECT_EQ(TableOf(reply), (std::vector<Tags>{{0, 7, 10, 18, 0, 0, 0}}));
    EXPECT_EQ(reply.GetData(), "42");

    // The document level holds one element only.
    EXPECT_FALSE(reply.AddElement("number", "43"));
    EXPECT_EQ(reply.GetDocText(), text);
    EXPECT_EQ(reply.GetNextFree(), 2);
}

TEST(AddElement, ElementTexts) {
    const struct {
        const char* name;
        const char* text;
        std::string written;
    } cases[] = {
        {"b", nullptr, "<b/>\r\n"},
        {"b", "", "<b/>\r\n"},
        {"v", "1<2 & 3", "<v>1&lt;2 &amp; 3</v>\r\n"},
        {"v", "'\"", "<v>'\"</v>\r\n"},
        {"v", "-3", "<v>-3</v>\r\n"},
        {"v", "ab\x81", "<v>ab</v>\r\n"},  // an incomplete last character is left out
    };
    for (const auto& c : cases) {
        CXmlDoc doc;
        ASSERT_TRUE(doc.AddElement(c.name, c.text)) << c.written;
        EXPECT_EQ(doc.GetDocText(), c.written);
        CXmlDoc fresh;
        ASSERT_TRUE(fresh.ParseText(doc.GetDocText().c_str()));
        EXPECT_EQ(TableOf(fresh), TableOf(doc)) << c.written;
    }
}

TEST(AddElement, NamesThatWouldNotReadBackAreRefused) {
    const std::string gbkName = std::string(PalGbk("乗")) + PalGbk("歌曲");
    const struct {
        std::string name;
        bool added;
    } cases[] = {
        {"number", true}, {gbkName, true}, {"a-b.c:d", true}, {"a[1]", true}, {"", false},
        {"a b", false},   {"a>b", false},  {"a/", false},     {"/a", false},  {"\"a\"", false},
        {"'a", false},    {"?x", false},   {"!x", false},     {" a", false},  {"a=b", false},
        {"a\x81", false}, {"\x81>", true}, {"\xF2/", false},  // 0xF2 '/' is one character, but ends
                                                              // in '/'
    };
    for (const auto& c : cases) {
        CXmlDoc doc;
        EXPECT_EQ(doc.AddElement(c.name.c_str(), "1"), c.added) << c.name;
        if (c.added) {
            EXPECT_EQ(doc.GetElementName(1), c.name);
        } else {
            EXPECT_EQ(doc.GetDocText(), "");
            EXPECT_EQ(doc.GetNextFree(), 1);
        }
    }
    CXmlDoc doc;
    EXPECT_FALSE(doc.AddElement(nullptr, "1"));
}

TEST(AddChildElement, ReopensAnEmptyElement) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.ParseText("<a/>"));
    ASSERT_TRUE(doc.FindElement("a"));
    ASSERT_TRUE(doc.AddChildElement("b", "x"));
    EXPECT_EQ(doc.GetDocText(), "<a>\r\n<b>x</b>\r\n</a>");
    EXPECT_EQ(TableOf(doc), (std::vector<Tags>{{0, 2, 15, 18, 0, 2, 0}, {5, 7, 9, 12, 1, 0, 0}}));
    EXPECT_EQ(doc.GetCurrentPos(), 1);
    EXPECT_EQ(doc.GetChildPos(), 2);
    EXPECT_EQ(doc.GetParentPos(), 0);
}

TEST(AddChildElement, ReopensAnEmptyElementWithAttributes) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.ParseText("<r><a x=\"1\" /></r>"));
    ASSERT_TRUE(doc.FindElement() && doc.FindChildElement("a") && doc.IntoElement());
    ASSERT_EQ(doc.GetCurrentPos(), 2);
    ASSERT_TRUE(doc.AddChildElement("b"));
    EXPECT_EQ(doc.GetDocText(), "<r><a x=\"1\" >\r\n<b/>\r\n</a></r>");
    CXmlDoc fresh;
    ASSERT_TRUE(fresh.ParseText(doc.GetDocText().c_str()));
    EXPECT_EQ(TableOf(fresh), TableOf(doc));
}

TEST(AddChildElement, NeedsACurrentElement) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.ParseText("<a/>"));
    EXPECT_FALSE(doc.AddChildElement("b", "x"));
    EXPECT_EQ(doc.GetDocText(), "<a/>");
    EXPECT_EQ(doc.GetNextFree(), 2);
}

// Where the element goes, relative to the element it follows and the parent's end tag.
TEST(AddElement, InsertionPoint) {
    const struct {
        const char* text;
        const char* follow;  // the element made current before the addition; "" for none
        std::string result;
    } cases[] = {
        {"<r></r>", "", "<r>\r\n<b>1</b>\r\n</r>"},
        {"<r><a/>\r\n</r>", "a", "<r><a/>\r\n<b>1</b>\r\n</r>"},
        {"<r><a/>x</r>", "a", "<r><a/><b>1</b>\r\nx</r>"},
        {"<r><a/>  <c/></r>", "a", "<r><a/>  <b>1</b>\r\n<c/></r>"},
        {"<r>\r\n<a/>\r\n</r>", "", "<r>\r\n<a/>\r\n<b>1</b>\r\n</r>"},
        {"<r>text</r>", "", "<r>text<b>1</b>\r\n</r>"},
        {"<r> </r>", "", "<r> <b>1</b>\r\n</r>"},
    };
    for (const auto& c : cases) {
        CXmlDoc doc;
        ASSERT_TRUE(doc.ParseText(c.text));
        ASSERT_TRUE(doc.FindElement("r") && doc.IntoElement());
        if (*c.follow) {
            ASSERT_TRUE(doc.FindElement(c.follow));
        }
        ASSERT_TRUE(doc.AddElement("b", "1")) << c.text;
        EXPECT_EQ(doc.GetDocText(), c.result) << c.text;
        EXPECT_EQ(doc.GetParentPos(), 1);
        EXPECT_EQ(doc.GetElementName(doc.GetCurrentPos()), "b");
        EXPECT_EQ(doc.GetData(), "1");
        CXmlDoc fresh;
        ASSERT_TRUE(fresh.ParseText(doc.GetDocText().c_str()));
        EXPECT_EQ(fresh.GetNextFree(), doc.GetNextFree()) << c.text;
    }
}

TEST(AddElement, OnTheDocumentLevelOfAFailedParse) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.ParseText("  "));
    ASSERT_TRUE(doc.AddElement("a", "1"));
    EXPECT_EQ(doc.GetDocText(), "  <a>1</a>\r\n");
    EXPECT_EQ(TableOf(doc), (std::vector<Tags>{{2, 4, 6, 9, 0, 0, 0}}));
}

// Records before the insertion stay; the new element's descendants and every element after it
// move whole; its ancestors, record 0 included, move their end tags only.
TEST(ShiftFollowing, MovesWhatFollowsInDocumentOrder) {
    TestDoc doc;
    ASSERT_TRUE(doc.ParseText("<r><z/><a><b/></a><c><d/></c></r>"));
    const std::vector<Tags> before = TableOf(doc);
    const CXmlDoc::ElemPos root = doc.GetRecord(0);
    doc.ShiftFollowing(3, 10);  // a
    const std::vector<Tags> after = TableOf(doc);
    auto moved = [](Tags t, int start, int end) {
        t.startTagBegin += start;
        t.startTagEnd += start;
        t.endTagBegin += end;
        t.endTagEnd += end;
        return t;
    };
    EXPECT_EQ(after[0], moved(before[0], 0, 10));   // r
    EXPECT_EQ(after[1], before[1]);                 // z
    EXPECT_EQ(after[2], before[2]);                 // a
    EXPECT_EQ(after[3], moved(before[3], 10, 10));  // b
    EXPECT_EQ(after[4], moved(before[4], 10, 10));  // c
    EXPECT_EQ(after[5], moved(before[5], 10, 10));  // d
    EXPECT_EQ(doc.GetRecord(0).startTagBegin, root.startTagBegin);
    EXPECT_EQ(doc.GetRecord(0).endTagBegin, root.endTagBegin + 10);
    EXPECT_EQ(doc.GetRecord(0).endTagEnd, root.endTagEnd + 10);
}

TEST(ReplaceText, ClampsOffsetAndCount) {
    const struct {
        int offset, count;
        const char* result;
    } cases[] = {
        {2, 1, "abXdef"},   {-3, 2, "Xcdef"},   {4, 10, "abcdX"},
        {99, 1, "abcdefX"}, {2, -1, "abXcdef"}, {0, 6, "X"},
    };
    for (const auto& c : cases) {
        TestDoc doc;
        doc.ParseText("abcdef");
        doc.ReplaceText(c.offset, c.count, "X");
        EXPECT_EQ(doc.GetDocText(), c.result) << c.offset << "," << c.count;
    }
}

TEST(FindInsertPoint, OffsetAndPrecedingSibling) {
    TestDoc doc;
    ASSERT_TRUE(doc.ParseText("<r><a/> <b/>x</r>"));
    const struct {
        int parent, after;
        int offset, preceding;
    } cases[] = {
        {1, 0, 13, 3},  // at the end tag, after the last child
        {1, 2, 8, 2},   // after a, over the blank to b's '<'
        {1, 3, 12, 3},  // right after b: text follows
        {2, 0, 6, 0},   // into a: at its '>'
        {0, 0, 17, 1},  // the document level, after the document element
    };
    for (const auto& c : cases) {
        int after = c.after;
        int offset = -1;
        doc.FindInsertPoint(c.parent, after, offset);
        EXPECT_EQ(offset, c.offset) << c.parent << "," << c.after;
        EXPECT_EQ(after, c.preceding) << c.parent << "," << c.after;
    }
}

// Additions take records with the same growth rule as the parse: 8, 12, 18, 27.
TEST(AddChildElement, TableGrowth) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.AddElement("r"));
    std::vector<int> sizes{doc.GetRecordCount()};
    for (int i = 0; i < 25; ++i) {
        ASSERT_TRUE(doc.AddChildElement("a", "1"));
        if (doc.GetRecordCount() != sizes.back()) {
            sizes.push_back(doc.GetRecordCount());
        }
    }
    EXPECT_EQ(sizes, (std::vector<int>{8, 12, 18, 27}));
    CXmlDoc fresh;
    ASSERT_TRUE(fresh.ParseText(doc.GetDocText().c_str()));
    EXPECT_EQ(TableOf(fresh), TableOf(doc));
}

}  // namespace
