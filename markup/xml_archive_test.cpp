#include <gtest/gtest.h>

#include <string>

#include "xml_test_util.h"

namespace {

TEST(CXmlArchive, ConstructionOpenAndClose) {
    CXmlArchive archive(3);
    EXPECT_EQ(archive.GetMode(), 3);
    EXPECT_EQ(archive.GetEncoding(), "ISO-8859-1");
    EXPECT_FALSE(archive.IsOpen());
    EXPECT_EQ(archive.GetRecordCount(), 8);
    EXPECT_TRUE(archive.Close());  // also when nothing was opened
    EXPECT_FALSE(archive.Open(nullptr));
    EXPECT_EQ(archive.GetMode(), 3);
    EXPECT_FALSE(archive.IsOpen());

    ASSERT_TRUE(archive.Open("<a><b/></a>"));
    EXPECT_EQ(archive.GetMode(), 2);
    EXPECT_TRUE(archive.IsOpen());
    ASSERT_TRUE(archive.FindChildElement("b"));

    // No text: false, and the document and the position stay.
    EXPECT_FALSE(archive.Open(nullptr));
    EXPECT_EQ(archive.GetDocText(), "<a><b/></a>");
    EXPECT_EQ(archive.GetChildPos(), 2);

    EXPECT_TRUE(archive.Close());
    EXPECT_FALSE(archive.IsOpen());
    EXPECT_EQ(archive.GetDocText(), "<a><b/></a>");
}

TEST(CXmlArchive, OpenReplacesTheDocument) {
    CXmlArchive archive(3);
    ASSERT_TRUE(archive.Open("<a/>"));
    EXPECT_FALSE(archive.Open("<a><b></a>"));
    EXPECT_TRUE(archive.IsOpen());
    EXPECT_EQ(archive.GetErrorText(), "End tag does not correspond to b");
    EXPECT_EQ(archive.GetDocText(), "<a><b></a>");
    EXPECT_FALSE(archive.IsWellFormed());
    EXPECT_FALSE(archive.FindElement());
    EXPECT_TRUE(archive.Open("<c/>"));
    EXPECT_TRUE(archive.FindElement("c"));
}

// The element operations are virtual in the archive, so a derived archive can take them over
// while callers hold the archive type.
TEST(CXmlArchive, ElementOperationsAreVirtual) {
    struct Counting : CXmlArchive {
        Counting() : CXmlArchive(3) {}
        bool FindElement(const char* name) override {
            ++finds;
            return CXmlArchive::FindElement(name);
        }
        bool AddElement(const char* name, const char* text) override {
            ++adds;
            return CXmlArchive::AddElement(name, text);
        }
        int finds = 0;
        int adds = 0;
    } counting;
    CXmlArchive& archive = counting;
    EXPECT_TRUE(archive.AddElement("a", "1"));
    EXPECT_FALSE(archive.FindElement(nullptr));  // a is current and has no sibling
    EXPECT_EQ(counting.adds, 1);
    EXPECT_EQ(counting.finds, 1);
}

}  // namespace
