#include <gtest/gtest.h>

#include <string>

#include "xml_test_util.h"

namespace {

TEST(GetAttribute, Lookup) {
    const struct {
        const char* text;
        const char* name;
        std::string value;
    } cases[] = {
        {"<a name=\"x\"/>", "name", "x"},
        {"<a name = 'x y'/>", "name", "x y"},
        {"<a name=x/>", "name", ""},  // a value must be quoted
        {"<a name=\"\"/>", "name", ""},
        {"<a x=\"1\" name=\"2\"/>", "name", "2"},
        {"<a named=\"1\" name=\"2\"/>", "name", "2"},
        {"<a name=\"1\" name=\"2\"/>", "name", "1"},
        {"<a Name=\"1\"/>", "name", ""},
        {"<a v=\"&lt;b&gt; &amp;&quot;&apos;\"/>", "v", "<b> &\"'"},
        {"<a v=\"&lt\"/>", "v", "&lt"},
        // The start tag ends at the quoted '>', but the lookup reads the value whole.
        {"<a name=\"x>y\"/></a>", "name", "x>y"},
        // Attributes of children are not looked at.
        {"<a x=\"1\"><b name=\"2\"/></a>", "name", ""},
        {"<a/>", "name", ""},
        // An empty name gives the name of the first attribute.
        {"<a first=\"1\" second=\"2\"/>", "", "first"},
        {"<a/>", "", ""},
    };
    for (const auto& c : cases) {
        CXmlDoc doc;
        ASSERT_TRUE(doc.ParseText(c.text)) << c.text;
        EXPECT_EQ(doc.GetAttribute(c.name), "") << "nothing current: " << c.text;
        ASSERT_TRUE(doc.FindElement());
        EXPECT_EQ(doc.GetAttribute(c.name), c.value) << c.text << " / " << c.name;
        EXPECT_EQ(doc.GetElementAttribute(1, c.name), c.value) << c.text;
    }
}

TEST(GetAttribute, TwoByteValues) {
    const std::string value = std::string(PalGbk("乗")) + "'" + PalGbk("数据");
    const std::string text = "<a v=\"" + value + "\"/>";
    CXmlDoc doc;
    ASSERT_TRUE(doc.ParseText(text.c_str()));
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetAttribute("v"), value);
    EXPECT_EQ(doc.GetAttribute(nullptr), "");
    EXPECT_EQ(doc.GetElementAttribute(0, "v"), "");
    EXPECT_EQ(doc.GetElementAttribute(7, "v"), "");
}

TEST(GetData, ContentAndCdata) {
    const struct {
        const char* text;
        std::string data;
    } cases[] = {
        {"<a> x &amp; y </a>", " x & y "},
        {"<a>  <![CDATA[1<2]]>  </a>", "1<2"},
        {"<a><![CDATA[]]></a>", ""},
        {"<a><![CDATA[x]]>tail</a>", "x"},
        {"<a><![CDATA[&amp;]]></a>", "&amp;"},
        {"<a>text <![CDATA[x]]></a>", "text <![CDATA[x]]>"},
        {"<a>t<b/>u</a>", ""},
        {"<a/>", ""},
        {"<a></a>", ""},
        {"<a>&amp;lt;</a>", "&lt;"},
        {"<a>&#65;&LT;&lt</a>", "&#65;&LT;&lt"},
        {"<a>&apos;&quot;&gt;</a>", "'\">"},
        {"<a>\r\n</a>", "\r\n"},
    };
    for (const auto& c : cases) {
        CXmlDoc doc;
        ASSERT_TRUE(doc.ParseText(c.text)) << c.text;
        EXPECT_EQ(doc.GetData(), "") << "nothing current: " << c.text;
        ASSERT_TRUE(doc.FindElement());
        EXPECT_EQ(doc.GetData(), c.data) << c.text;
        EXPECT_EQ(doc.GetElementData(1), c.data) << c.text;
    }
}

TEST(GetData, WithoutADocumentElement) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.ParseText("<a>x</b>"));
    EXPECT_EQ(doc.GetData(), "");
    EXPECT_EQ(doc.GetElementData(0), "");
    EXPECT_EQ(doc.GetElementData(1), "");
    EXPECT_EQ(doc.GetElementData(-1), "");
}

TEST(GetElementName, FirstTokenAfterTheBracket) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.ParseText("< first x=\"1\"><second/></first>"));
    EXPECT_EQ(doc.GetElementName(0), "");
    EXPECT_EQ(doc.GetElementName(1), "first");
    EXPECT_EQ(doc.GetElementName(2), "second");
    EXPECT_EQ(doc.GetElementName(3), "");
}

TEST(EscapeText, ReplacesTheThreeMarkupCharacters) {
    const std::string gbk = PalGbk("歌曲");
    const struct {
        std::string text;
        std::string escaped;
    } cases[] = {
        {"1<2 & 3", "1&lt;2 &amp; 3"},
        {"a>b", "a&gt;b"},
        {"'\"", "'\""},
        {"", ""},
        {gbk + "<" + gbk, gbk + "&lt;" + gbk},
        // 0x81 0x3C is one character of the code page's rule; it is copied whole.
        {"\x81<", "\x81<"},
        // A lead byte at the end is no whole character and is left out.
        {"ab\x81", "ab"},
        {std::string(100, '&'),
         [] {
             std::string s;
             for (int i = 0; i < 100; ++i) s += "&amp;";
             return s;
         }()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CXmlDoc::EscapeText(c.text.c_str()), c.escaped) << c.text;
    }
    EXPECT_EQ(CXmlDoc::EscapeText(nullptr), "");
    EXPECT_EQ(CXmlDoc::EscapeText(std::string(100, '&').c_str()).size(), 500u);
}

// Texts of every length up to some hundreds, made of references only, plain bytes only or a mix,
// cross each point at which the reserve doubles.
TEST(EscapeText, GrowsItsReserveAsNeeded) {
    for (int length = 0; length < 300; ++length) {
        std::string text;
        std::string expected;
        for (int i = 0; i < length; ++i) {
            const char c = "<a>&b"[i % 5];
            text += c;
            expected += c == '<'   ? "&lt;"
                        : c == '>' ? "&gt;"
                        : c == '&' ? "&amp;"
                                   : std::string(1, c);
        }
        ASSERT_EQ(CXmlDoc::EscapeText(text.c_str()), expected) << length;
    }
}

TEST(UnescapeText, RangesOfTheDocument) {
    TestDoc doc;
    const std::string text = "x&lt;y&amp;z&lt\x81\\";
    doc.ParseText(text.c_str());
    const struct {
        int first, last;
        std::string result;
    } cases[] = {
        {0, 11, "x<y&z"},    {1, 4, "<"},
        {1, 3, "&lt"},  // the name must end within the range
        {12, 14, "&lt"},     {-5, 100, "x<y&z&lt\x81\\"},
        {5, 4, ""},          {15, 15, "\x81"},  // the second byte lies past the range
        {14, 16, "t\x81\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(doc.UnescapeText(c.first, c.last), c.result) << c.first << ".." << c.last;
    }
    // A lead byte joins the '&' after it into one character, which is then no reference.
    doc.ParseText("\x81&lt;");
    EXPECT_EQ(doc.UnescapeText(0, 5), "\x81&lt;");
}

TEST(LocateAttribute, LeavesTheTokenOnTheValue) {
    TestDoc doc;
    ASSERT_TRUE(doc.ParseText("<a k = \"v\" />"));
    CXmlDoc::Token token(doc.Text(), 1);
    ASSERT_TRUE(doc.LocateAttribute(token, "k"));
    EXPECT_TRUE(token.quoted);
    EXPECT_EQ(doc.TokenText(token), "v");
    CXmlDoc::Token missing(doc.Text(), 1);
    EXPECT_FALSE(doc.LocateAttribute(missing, "v"));
}

}  // namespace
