// The version query against a fake manager: the reply cases, and the request released and the
// buffer freed on every path.
#include <gtest/gtest.h>

#include "fake_http_mgr.h"
#include "version_query.h"
#include "version_reply.h"

namespace {

std::string Entry(const std::string& name, const std::string& ver) {
    return "<flash><name>" + name + "</name><ver>" + ver + "</ver></flash>";
}

std::string Reply(const std::string& entries, const std::string& root = "brindo_fans") {
    return "<" + root + "><flashlist>" + entries + "</flashlist></" + root + ">";
}

std::string Nested(size_t depth) {
    std::string text;
    for (size_t i = 0; i < depth; ++i) {
        text += "<a>";
    }
    return text;
}

class VersionQueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake_.Reset();
        g_strServerVersion.clear();
    }
    FakeHttpMgr& fake_ = FakeHttpMgr::Instance();
};

TEST_F(VersionQueryTest, ReplyCases) {
    const std::string filler(8u << 20, 'f');
    const struct {
        const char* name;
        std::string reply;
        std::string version;  // what g_strServerVersion holds afterwards
    } cases[] = {
        {"first entry is pack", Reply(Entry("pack", "1.0.0.5")), "1.0.0.5"},
        {"pack after other entries", Reply(Entry("player", "3.1") + Entry("pack", "1.0.0.6")),
         "1.0.0.6"},
        {"two pack entries: the first wins",
         Reply(Entry("pack", "1.0.0.7") + Entry("pack", "1.0.0.8")), "1.0.0.7"},
        {"a comment before the pack entry ends the walk",
         Reply(Entry("player", "3") + "<!-- next -->" + Entry("pack", "1.0.0.9")), ""},
        {"an empty name is skipped", Reply(Entry("", "9") + Entry("pack", "1.0.1")), "1.0.1"},
        {"a missing name is skipped", Reply("<flash><ver>9</ver></flash>" + Entry("pack", "1.0.2")),
         "1.0.2"},
        {"an empty ver element gives the empty text", Reply(Entry("pack", "")), ""},
        {"a pack entry without ver", Reply("<flash><name>pack</name></flash>"), ""},
        {"entries after the first need not be named flash",
         Reply(Entry("player", "3") + "<other><name>pack</name><ver>2.0</ver></other>"), "2.0"},
        {"names match case-sensitively", Reply(Entry("Pack", "1.0.3")), ""},
        {"another root name", Reply(Entry("pack", "1.0.4"), "brindo_fan"), ""},
        {"no flash entry", "<brindo_fans><flashlist/></brindo_fans>", ""},
        {"a declaration and a comment before the root",
         "<?xml version=\"1.0\"?><!-- reply -->" + Reply(Entry("pack", "1.0.5")), "1.0.5"},
        {"indented over several lines",
         "<brindo_fans>\n  <flashlist>\n    <flash>\n      <name>pack</name>\n      <ver> "
         "1.0.6 </ver>\n    </flash>\n  </flashlist>\n</brindo_fans>\n",
         "1.0.6"},
        {"ver holding an element gives its tag name", Reply(Entry("pack", "<b>1</b>")), "b"},
        {"an error page", "<html><body>502 Bad Gateway</body></html>", ""},
        {"not XML at all", "version=1.0.0.9", ""},
        {"broken XML after the entry", Reply(Entry("pack", "1.0.7")) + "<<<", "1.0.7"},
        {"a huge reply with the entry after 8 MiB of text",
         Reply("<flash><name>pad</name><ver>" + filler + "</ver></flash>" + Entry("pack", "1.0.8")),
         "1.0.8"},
        {"nesting deep enough to overflow the parser", Nested(200000), ""},
        {"more element tags than a reply may hold",
         Reply(Entry("pack", "1.0.9") + Nested(kMaxReplyElements)), ""},
    };
    for (const auto& c : cases) {
        SetUp();
        fake_.reply = c.reply;
        EXPECT_TRUE(QueryServerVersionAt("http://versions.test/fans.br")) << c.name;
        EXPECT_EQ(g_strServerVersion, c.version) << c.name;
        EXPECT_EQ(fake_.released, std::vector<int>{41}) << c.name;
    }
}

TEST_F(VersionQueryTest, PostsTheFixedRequestToTheUrl) {
    fake_.reply = Reply(Entry("pack", "1.0.0.5"));
    ASSERT_TRUE(QueryServerVersionAt("http://127.0.0.1:1/fans.br"));
    EXPECT_EQ(fake_.urls, std::vector<std::string>{"http://127.0.0.1:1/fans.br"});
    EXPECT_EQ(fake_.bodies,
              std::vector<std::string>{"<brindo_fans><cmd>getver</cmd></brindo_fans>"});
}

// The library could not answer: false, the request released once, every buffer handed out
// freed (the sanitizer builds report a leak or a second free), the version untouched.
TEST_F(VersionQueryTest, NoReplyGivesFalse) {
    const struct {
        const char* name;
        int syncResult, responseResult;
        bool handOut;
        std::string reply;
        int length;
        int responseCalls;
    } cases[] = {
        {"request failed", 0, 1, true, "x", FakeHttpMgr::kReplySize, 0},
        {"no response data, a buffer handed out anyway", 1, 0, true, "<a/>",
         FakeHttpMgr::kReplySize, 1},
        {"no buffer", 1, 1, false, "", 5, 1},
        {"empty reply", 1, 1, true, "", FakeHttpMgr::kReplySize, 1},
        {"negative length", 1, 1, true, "<a/>", -3, 1},
    };
    for (const auto& c : cases) {
        SetUp();
        g_strServerVersion = "untouched";
        fake_.syncResult = c.syncResult;
        fake_.responseResult = c.responseResult;
        fake_.handOutBuffer = c.handOut;
        fake_.reply = c.reply;
        fake_.replyLength = c.length;
        EXPECT_FALSE(QueryServerVersionAt("http://versions.test/fans.br")) << c.name;
        EXPECT_EQ(fake_.released, std::vector<int>{41}) << c.name;
        EXPECT_EQ(fake_.responseCalls, c.responseCalls) << c.name;
        EXPECT_EQ(g_strServerVersion, "untouched") << c.name;
    }
}

TEST(GetChildTextTest, TheFirstChildsValue) {
    TiXmlDocument document;
    document.Parse("<e><t>text</t><el><x/>after</el><c><!--note--></c><none/><t>second</t></e>");
    const TiXmlNode* e = document.FirstChild("e");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(GetChildText(e, "t"), "text");  // the first child of that name
    EXPECT_EQ(GetChildText(e, "el"), "x");
    EXPECT_EQ(GetChildText(e, "c"), "note");
    EXPECT_EQ(GetChildText(e, "none"), "");
    EXPECT_EQ(GetChildText(e, "missing"), "");
}

}  // namespace
