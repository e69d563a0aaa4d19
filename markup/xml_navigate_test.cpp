#include <gtest/gtest.h>

#include <string>

#include "xml_test_util.h"

namespace {

std::string Request(const char* name, const std::string& arguments) {
    return std::string("<invoke name=\"") + name + "\" returntype=\"xml\"><arguments>" + arguments +
           "</arguments></invoke>";
}

// The call bridge's walk: into invoke, into arguments, then one search per argument, each going
// on after the previous match and skipping elements of the other name.
TEST(Navigation, CallBridgeWalk) {
    const std::string text =
        Request("BROpenMusic",
                "<string>a1</string><string>a&lt;2</string><string>a3</string><number>7</number>");
    CXmlArchive doc(3);
    ASSERT_TRUE(doc.Open(text.c_str()));
    ASSERT_TRUE(doc.FindElement("invoke"));
    EXPECT_EQ(doc.GetAttribute("name"), "BROpenMusic");
    ASSERT_TRUE(doc.IntoElement());
    ASSERT_TRUE(doc.FindElement("arguments"));
    ASSERT_TRUE(doc.IntoElement());
    const char* expected[] = {"a1", "a<2", "a3"};
    for (const char* value : expected) {
        ASSERT_TRUE(doc.FindElement("string"));
        EXPECT_EQ(doc.GetData(), value);
    }
    const int third = doc.GetCurrentPos();
    EXPECT_FALSE(doc.FindElement("string"));
    EXPECT_EQ(doc.GetCurrentPos(), third);
    EXPECT_EQ(doc.GetData(), "a3");
    ASSERT_TRUE(doc.FindElement("number"));
    EXPECT_EQ(doc.GetData(), "7");
    EXPECT_FALSE(doc.FindElement("number"));
}

TEST(Navigation, ArgumentsOutOfOrderAreMissed) {
    const std::string text =
        Request("BROpenMusic", "<number>9</number><string>a</string><string>b</string>");
    CXmlArchive doc(3);
    ASSERT_TRUE(doc.Open(text.c_str()));
    ASSERT_TRUE(doc.FindElement("invoke") && doc.IntoElement() && doc.FindElement("arguments") &&
                doc.IntoElement());
    EXPECT_TRUE(doc.FindElement("string"));
    EXPECT_TRUE(doc.FindElement("string"));
    EXPECT_FALSE(doc.FindElement("string"));
    EXPECT_FALSE(doc.FindElement("number"));
    EXPECT_EQ(doc.GetData(), "b");
}

TEST(Navigation, DocumentElementMustHaveTheName) {
    const struct {
        const char* text;
        bool found;
    } cases[] = {
        {"<invoke name=\"x\"/>", true},
        {"< invoke/>", true},
        {"<invoked/>", false},
        {"<invok/>", false},
        {"<Invoke/>", false},
        {"<call><invoke/></call>", false},
        {"<invoke", false},
        {"", false},
    };
    for (const auto& c : cases) {
        CXmlArchive doc(3);
        doc.Open(c.text);
        EXPECT_EQ(doc.FindElement("invoke"), c.found) << c.text;
    }
}

TEST(Navigation, FindElementWithoutName) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.ParseText("<r><a/>text<b/><!-- c --><c/></r>"));
    ASSERT_TRUE(doc.FindElement());
    EXPECT_FALSE(doc.FindElement());  // the document level holds one element
    ASSERT_TRUE(doc.IntoElement());
    const char* names[] = {"a", "b", "c"};
    for (const char* name : names) {
        ASSERT_TRUE(doc.FindElement(""));
        EXPECT_EQ(doc.GetElementName(doc.GetCurrentPos()), name);
        EXPECT_EQ(doc.GetParentPos(), 1);
    }
    EXPECT_FALSE(doc.FindElement());
    EXPECT_EQ(doc.GetElementName(doc.GetCurrentPos()), "c");
}

TEST(Navigation, IntoElement) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.ParseText("<r><a/><b><c/></b></r>"));
    EXPECT_FALSE(doc.IntoElement());  // nothing current
    ASSERT_TRUE(doc.FindElement("r"));
    ASSERT_TRUE(doc.IntoElement());
    ASSERT_TRUE(doc.FindElement("a"));
    ASSERT_TRUE(doc.IntoElement());  // a has no children
    EXPECT_EQ(doc.GetParentPos(), 2);
    EXPECT_EQ(doc.GetCurrentPos(), 0);
    EXPECT_FALSE(doc.FindElement());
    EXPECT_FALSE(doc.IntoElement());

    // After a child search the current child becomes the current element of the new level.
    doc.ResetPos();
    ASSERT_TRUE(doc.FindElement("r"));
    ASSERT_TRUE(doc.FindChildElement("b"));
    ASSERT_TRUE(doc.IntoElement());
    EXPECT_EQ(doc.GetParentPos(), 1);
    EXPECT_EQ(doc.GetCurrentPos(), 3);
    EXPECT_EQ(doc.GetChildPos(), 0);
    EXPECT_TRUE(doc.FindChildElement("c"));
}

TEST(Navigation, FindChildElement) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.ParseText("<r><a/><b/><a/></r>"));
    // With nothing current the first element of the level becomes current first.
    ASSERT_TRUE(doc.FindChildElement("a"));
    EXPECT_EQ(doc.GetCurrentPos(), 1);
    EXPECT_EQ(doc.GetChildPos(), 2);
    ASSERT_TRUE(doc.FindChildElement("a"));
    EXPECT_EQ(doc.GetChildPos(), 4);
    EXPECT_FALSE(doc.FindChildElement("a"));
    EXPECT_EQ(doc.GetChildPos(), 4);
    EXPECT_EQ(doc.GetParentPos(), 0);

    // A failed search after the first move keeps that move.
    doc.ResetPos();
    EXPECT_FALSE(doc.FindChildElement("z"));
    EXPECT_EQ(doc.GetCurrentPos(), 1);
    EXPECT_EQ(doc.GetChildPos(), 0);
}

// On a level without elements there is nothing whose children could be searched.
TEST(Navigation, FindChildElementOnAnEmptyLevel) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.ParseText("<a></b>"));
    EXPECT_FALSE(doc.FindChildElement());
    EXPECT_FALSE(doc.FindChildElement("a"));
    EXPECT_EQ(doc.GetCurrentPos(), 0);
    EXPECT_EQ(doc.GetChildPos(), 0);

    ASSERT_TRUE(doc.ParseText("<r><a/></r>"));
    ASSERT_TRUE(doc.FindElement("r") && doc.IntoElement() && doc.FindElement("a") &&
                doc.IntoElement());
    EXPECT_FALSE(doc.FindChildElement());
    EXPECT_EQ(doc.GetParentPos(), 2);
    EXPECT_EQ(doc.GetCurrentPos(), 0);
}

}  // namespace
