#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml_test_util.h"

namespace {

struct ParseCase {
    const char* text;
    std::vector<Tags> table;
};

// Successful parses and the table each one builds.
TEST(ParseText, BuildsTheElementTable) {
    const ParseCase cases[] = {
        {"<a/>", {{0, 3, 2, 3, 0, 0, 0}}},
        {"<a></a>", {{0, 2, 3, 6, 0, 0, 0}}},
        {"<r><a/><b>x</b></r>",
         {{0, 2, 15, 18, 0, 2, 0}, {3, 6, 5, 6, 1, 0, 3}, {7, 9, 11, 14, 1, 0, 0}}},
        {"<r><a><b/></a><c/></r>",
         {{0, 2, 18, 21, 0, 2, 0},
          {3, 5, 10, 13, 1, 3, 4},
          {6, 9, 8, 9, 2, 0, 0},
          {14, 17, 16, 17, 1, 0, 0}}},
        // Blanks inside the tags, and end tags with more after the name.
        {"< a >x</a >", {{0, 4, 6, 10, 0, 0, 0}}},
        {"<a>x</ a>", {{0, 2, 4, 8, 0, 0, 0}}},
        {"<a></a b>", {{0, 2, 3, 8, 0, 0, 0}}},
        // Text before the document element is skipped; everything after it is ignored.
        {"junk <a/> more <b/> text", {{5, 8, 7, 8, 0, 0, 0}}},
        // A '>' inside a quoted attribute value closes the start tag, and the "/>" after it does
        // not make the element empty.
        {"<a x=\">\"/></a>", {{0, 6, 10, 13, 0, 0, 0}}},
        // Comments and CDATA sections inside an element are stepped over whole.
        {"<a><!-- <b> --><![CDATA[<c>]]></a>", {{0, 2, 30, 33, 0, 0, 0}}},
        // '<!-->' is a complete comment.
        {"<!--><a/>", {{5, 8, 7, 8, 0, 0, 0}}},
    };
    for (const auto& c : cases) {
        CXmlDoc doc;
        EXPECT_TRUE(doc.ParseText(c.text)) << c.text << ": " << doc.GetErrorText();
        EXPECT_EQ(TableOf(doc), c.table) << c.text;
        EXPECT_EQ(doc.GetRecord(0).firstChild, 1) << c.text;
        EXPECT_EQ(doc.GetRecord(0).endTagBegin, c.table[0].startTagBegin) << c.text;
        EXPECT_TRUE(doc.IsWellFormed());
        EXPECT_EQ(doc.GetCurrentPos(), 0);
    }
}

TEST(ParseText, StepsOverPrologNodes) {
    const std::string text =
        "<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<!-- a <comment> -->\r\n"
        "<!DOCTYPE r [<!ENTITY x \"y>\"> <!ELEMENT r ANY>]>\r\n<![CDATA[<z/>]]><r/>";
    CXmlDoc doc;
    ASSERT_TRUE(doc.ParseText(text.c_str())) << doc.GetErrorText();
    ASSERT_EQ(TableOf(doc).size(), 1u);
    EXPECT_EQ(doc.GetRecord(1).startTagBegin, static_cast<int>(text.find("<r/>")));
}

// A '[' that is not a token of its own opens no internal subset: "r[" is one token, so the
// declaration ends at the first '>' and the <b/> inside the brackets becomes the document element.
TEST(ParseText, DeclarationSubsetNeedsItsOwnBracketToken) {
    const struct {
        const char* text;
        const char* documentElement;
    } cases[] = {
        {"<!DOCTYPE r [<!ENTITY x y><b/>]><r/>", "r"},
        {"<!DOCTYPE r[<!ENTITY x y><b/>]><r/>", "b"},
    };
    for (const auto& c : cases) {
        CXmlDoc doc;
        ASSERT_TRUE(doc.ParseText(c.text)) << c.text;
        EXPECT_EQ(doc.GetElementName(1), c.documentElement) << c.text;
    }
}

TEST(ParseText, RequestTextOfTheCallBridge) {
    const std::string text =
        "<invoke name=\"BROpenMusic\" returntype=\"xml\"><arguments><string>song.mp3</string>"
        "<string>Title &amp; more</string><string>x</string><string>1</string><string>2"
        "</string><number>4000</number></arguments></invoke>";
    CXmlDoc doc;
    ASSERT_TRUE(doc.ParseText(text.c_str()));
    const std::vector<Tags> table = TableOf(doc);
    ASSERT_EQ(table.size(), 8u);
    const char* names[] = {"invoke", "arguments", "string", "string",
                           "string", "string",    "string", "number"};
    for (int i = 1; i <= 8; ++i) {
        const Tags& r = table[i - 1];
        EXPECT_EQ(doc.GetElementName(i), names[i - 1]);
        EXPECT_EQ(r.parent, i <= 2 ? i - 1 : 2);
        EXPECT_EQ(r.firstChild, i <= 2 ? i + 1 : 0);
        EXPECT_EQ(r.nextSibling, i >= 3 && i < 8 ? i + 1 : 0);
        EXPECT_EQ(text[r.startTagBegin], '<');
        EXPECT_EQ(text[r.startTagEnd], '>');
        EXPECT_EQ(text.compare(r.endTagBegin, 2, "</"), 0);
        EXPECT_EQ(text[r.endTagEnd], '>');
    }
    EXPECT_EQ(table[0].endTagEnd, static_cast<int>(text.size()) - 1);
}

// A name whose second byte is '\' (0x5C, a delimiter on its own) stays one name, because the
// scan never looks at the second byte of a two-byte character.
TEST(ParseText, TwoByteCharactersInNames) {
    const std::string name = std::string(PalGbk("乗")) + "x" + PalGbk("数据");
    ASSERT_EQ(name.substr(0, 2), "\x81\x5C");
    const std::string text = "<" + name + " a=\"1\">v</" + name + ">";
    CXmlArchive doc(3);
    ASSERT_TRUE(doc.ParseText(text.c_str())) << doc.GetErrorText();
    EXPECT_EQ(doc.GetElementName(1), name);
    EXPECT_TRUE(doc.FindElement(name.c_str()));
    EXPECT_EQ(doc.GetAttribute("a"), "1");

    const std::string other = std::string(PalGbk("乗")) + "y";
    const std::string mismatched = "<" + name + "></" + other + ">";
    EXPECT_FALSE(doc.ParseText(mismatched.c_str()));
    EXPECT_EQ(doc.GetErrorText(), "End tag does not correspond to " + name);
}

TEST(ParseText, FailuresAndTheirMessages) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"hello", "Element tag not found"},
        {"<a>text", "Element tag not found"},
        {"<a><b/>", "Element tag not found"},
        {"<", "Abrupt end within tag"},
        {"<a>< \r\n\t", "Abrupt end within tag"},
        {"<\"a\">", "Tag starts with quote"},
        {"<?xml", "Invalid node"},
        {"<?", "Invalid node"},
        {"<!", "Invalid node"},
        {"<!-- open", "Invalid node"},
        {"<![CDATA[ open", "Invalid node"},
        {"<!DOCTYPE a [ ><a/>", "Invalid node"},
        // Blanks between '<' and '?' leave the node classifier where it was; this fails
        // instead of meeting the same '<' for ever.
        {"< ?xml ?><a/>", "Invalid node"},
        {"<r>< !-- x --></r>", "Invalid node"},
        {"<a", "End of tag not found"},
        {"<a x=\"1\"", "End of tag not found"},
        {"<a></b>", "End tag does not correspond to a"},
        {"<a><b></a></b>", "End tag does not correspond to b"},
        {"<a>x</a", "End tag not completed for element a"},
        {"<a>x</a b", "End tag not completed for element a"},
    };
    for (const auto& c : cases) {
        CXmlDoc doc;
        EXPECT_FALSE(doc.ParseText(c.text)) << c.text;
        EXPECT_EQ(doc.GetErrorText(), c.message) << c.text;
        EXPECT_EQ(doc.GetDocText(), c.text);
        EXPECT_FALSE(doc.IsWellFormed());
        EXPECT_EQ(doc.GetNextFree(), 1);
        const CXmlDoc::ElemPos& root = doc.GetRecord(0);
        EXPECT_EQ(root.startTagBegin | root.startTagEnd | root.endTagBegin | root.endTagEnd |
                      root.firstChild | root.nextSibling | root.parent,
                  0)
            << c.text;
    }
}

TEST(ParseText, ErrorTextOutlivesLaterParses) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.ParseText("<a></b>"));
    EXPECT_EQ(doc.GetErrorText(), "End tag does not correspond to a");
    EXPECT_TRUE(doc.ParseText("<a/>"));
    EXPECT_EQ(doc.GetErrorText(), "End tag does not correspond to a");
    // No text, an empty one, or an end tag first: a failure without a message of its own.
    EXPECT_FALSE(doc.ParseText(nullptr));
    EXPECT_FALSE(doc.ParseText(""));
    EXPECT_FALSE(doc.ParseText("</a>"));
    EXPECT_EQ(doc.GetErrorText(), "End tag does not correspond to a");
}

TEST(ParseText, ResetsThePosition) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.ParseText("<r><a/></r>"));
    ASSERT_TRUE(doc.FindChildElement("a"));
    ASSERT_TRUE(doc.ParseText("<r/>"));
    EXPECT_EQ(doc.GetParentPos(), 0);
    EXPECT_EQ(doc.GetCurrentPos(), 0);
    EXPECT_EQ(doc.GetChildPos(), 0);
    EXPECT_EQ(doc.GetNodeKind(), 0);
}

// The walk keeps no stack of its own levels, so deep nesting is only a matter of records.
TEST(ParseText, DeepNesting) {
    const int depth = 200000;
    std::string text;
    for (int i = 0; i < depth; ++i) {
        text += "<a>";
    }
    for (int i = 0; i < depth; ++i) {
        text += "</a>";
    }
    CXmlDoc doc;
    ASSERT_TRUE(doc.ParseText(text.c_str()));
    EXPECT_EQ(doc.GetNextFree(), depth + 1);
    EXPECT_EQ(doc.GetRecord(depth).parent, depth - 1);
    EXPECT_EQ(doc.GetRecord(1).endTagEnd, static_cast<int>(text.size()) - 1);
}

std::string Children(int count) {
    std::string text = "<r>";
    for (int i = 0; i < count; ++i) {
        text += "<a/>";
    }
    return text + "</r>";
}

// The table starts at (length / 64) + 8 records and grows by half when the record to be taken
// is the first past its end. The search for a next child takes a record before it knows there is
// none, so r with 6 children (7 records used) already fills a table of 8.
TEST(ParseText, TableSizing) {
    const struct {
        std::string text;
        int size;
    } cases[] = {
        {"", 8},
        {Children(5), 8},
        {Children(6), 12},
        {Children(9), 12},
        {Children(10), 18},
        {std::string(64, ' ') + "<a/>", 9},
        {Children(17), 28},
        {std::string(6400, ' ') + "<a/>", 108},
    };
    for (const auto& c : cases) {
        CXmlDoc doc;
        doc.ParseText(c.text.c_str());
        EXPECT_EQ(doc.GetRecordCount(), c.size) << c.text.size();
    }
}

TEST(ParseText, TableGrowsByHalfAndNeverShrinks) {
    CXmlDoc doc;
    EXPECT_EQ(doc.GetRecordCount(), 8);
    const int steps[][2] = {{7, 12}, {11, 18}, {17, 27}, {0, 27}};
    for (const auto& step : steps) {
        ASSERT_TRUE(doc.ParseText(Children(step[0]).c_str()));
        EXPECT_EQ(doc.GetRecordCount(), step[1]) << step[0] << " children";
        EXPECT_EQ(doc.GetNextFree(), step[0] + 2);
    }
}

TEST(ParseNode, Kinds) {
    const struct {
        const char* text;
        int kind;
        int next;  // where the token's next is left, -1 for not looked at
    } cases[] = {
        {"<?pi x?>rest", CXmlDoc::kNodeProcessing, 8},
        {"<?>", CXmlDoc::kNodeProcessing, 3},
        {"<![CDATA[<a>]]>rest", CXmlDoc::kNodeCdata, 15},
        {"<!-- <a> -->rest", CXmlDoc::kNodeComment, 12},
        {"<!-->", CXmlDoc::kNodeComment, 5},
        {"<!DOCTYPE a [<!ENTITY x \"]>\">]>rest", CXmlDoc::kNodeDeclaration, 31},
        {"<!DOCTYPE a>", CXmlDoc::kNodeDeclaration, 12},
        {"<a>", CXmlDoc::kNodeElement, 0},
        {"< ?x?>", CXmlDoc::kNodeElement, 0},
        {"</a>", CXmlDoc::kNodeNone, -1},
        {"<a", CXmlDoc::kNodeNone, -1},
        {"<", CXmlDoc::kNodeNone, -1},
        {"<?x", CXmlDoc::kNodeNone, -1},
        {"<!-- x", CXmlDoc::kNodeNone, -1},
        {"<![CDATA[x]>", CXmlDoc::kNodeNone, -1},
        {"<!x [ >", CXmlDoc::kNodeNone, -1},
        {"", CXmlDoc::kNodeNone, -1},
        {" \r\n\t<a/>", CXmlDoc::kNodeWhitespace, 4},
        {"   ", CXmlDoc::kNodeWhitespace, 3},
        {" text <a/>", CXmlDoc::kNodeText, 6},
        {"text", CXmlDoc::kNodeText, 4},
    };
    for (const auto& c : cases) {
        TestDoc doc;
        doc.ParseText(c.text);
        CXmlDoc::Token token(doc.Text(), 0);
        EXPECT_EQ(doc.ParseNode(token), c.kind) << c.text;
        EXPECT_EQ(token.first, 0) << c.text;
        if (c.next >= 0) {
            EXPECT_EQ(token.next, c.next) << c.text;
        }
    }
}

TEST(SetParseError, PutsTheNameInPlaceOfItsMark) {
    TestDoc doc;
    ASSERT_TRUE(doc.ParseText("<a/>"));
    EXPECT_EQ(doc.SetParseError("End tag of %s element not found", "a%sb"), -1);
    EXPECT_EQ(doc.GetErrorText(), "End tag of a%sb element not found");
    EXPECT_EQ(doc.GetNextFree(), 1);  // the record taken last is given back
    doc.SetParseError("Element tag not found");
    EXPECT_EQ(doc.GetErrorText(), "Element tag not found");
}

}  // namespace
