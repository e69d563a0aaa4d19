// After any sequence of additions the element table describes the same tree, at the same
// offsets, as a fresh parse of the new text builds.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "xml_test_util.h"

namespace {

// Walks both trees in document order and compares shape and tag offsets.
void ExpectSameTree(const CXmlDoc& edited, int parent, const CXmlDoc& fresh, int freshParent,
                    const std::string& trace) {
    int e = edited.GetRecord(parent).firstChild;
    int f = fresh.GetRecord(freshParent).firstChild;
    for (; e != 0 || f != 0;) {
        ASSERT_TRUE(e != 0 && f != 0) << "element count differs\n" << trace;
        const CXmlDoc::ElemPos& a = edited.GetRecord(e);
        const CXmlDoc::ElemPos& b = fresh.GetRecord(f);
        ASSERT_EQ(a.startTagBegin, b.startTagBegin) << trace;
        ASSERT_EQ(a.startTagEnd, b.startTagEnd) << trace;
        ASSERT_EQ(a.endTagBegin, b.endTagBegin) << trace;
        ASSERT_EQ(a.endTagEnd, b.endTagEnd) << trace;
        ASSERT_EQ(a.reserved, 0);
        ASSERT_EQ(a.parent, parent) << trace;
        ExpectSameTree(edited, e, fresh, f, trace);
        e = a.nextSibling;
        f = b.nextSibling;
    }
}

// The text an element's data reads back as: the text less an incomplete last character.
std::string ReadBack(const char* text) {
    std::string s = text ? text : "";
    size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b >= 0x80 && IsDBCSLeadByte(b)) {
            if (i + 1 == s.size()) {
                s.pop_back();
                break;
            }
            i += 2;
        } else {
            ++i;
        }
    }
    return s;
}

TEST(AdditionProperty, TableEqualsAFreshParse) {
    const std::string gbkName = std::string(PalGbk("乗")) + PalGbk("歌曲");
    const std::string gbkText = std::string(PalGbk("数据")) + " <" + PalGbk("乗") + "> &";
    const std::vector<std::string> starts = {
        "",
        "  ",
        "<r/>",
        "<r></r>",
        "<r>\r\n<a/>\r\n</r>",
        "<?xml version=\"1.0\"?>\n<!-- c --><r x=\"1\"><a>t</a> text <b/><![CDATA[<z>]]>"
        "<c k='v'/></r>\n<!-- after -->",
        "<invoke name=\"BRGetVolume\" returntype=\"xml\"><arguments></arguments></invoke>",
        "<" + gbkName + "><x/>" + gbkText.substr(0, 4) + "</" + gbkName + ">",
    };
    const std::vector<std::string> names = {"a", "b", "number", "string", gbkName};
    const std::vector<const char*> texts = {
        nullptr, "",       "42",    "1<2 & 3",       "'\"",           " x ",  "&amp;",
        "]]>",   "ab\x81", "\x81<", "<![CDATA[x]]>", gbkText.c_str(), "\r\n",
    };

    std::mt19937 random(20111017);
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    int additions = 0;
    for (int run = 0; run < 400; ++run) {
        CXmlDoc doc;
        const std::string& start = starts[run % starts.size()];
        doc.ParseText(start.c_str());
        std::string trace = "start: " + start + "\n";
        for (int step = 0; step < 40; ++step) {
            const size_t op = pick(7);
            const std::string& name = names[pick(names.size())];
            const char* text = texts[pick(texts.size())];
            bool added = false;
            switch (op) {
                case 0:
                case 1:
                    trace += "AddElement " + name + "\n";
                    added = doc.AddElement(name.c_str(), text);
                    break;
                case 2:
                    trace += "AddChildElement " + name + "\n";
                    added = doc.AddChildElement(name.c_str(), text);
                    break;
                case 3:
                    trace += "FindElement\n";
                    doc.FindElement(pick(3) == 0 ? name.c_str() : nullptr);
                    break;
                case 4:
                    trace += "FindChildElement\n";
                    doc.FindChildElement(pick(3) == 0 ? name.c_str() : nullptr);
                    break;
                case 5:
                    trace += "IntoElement\n";
                    doc.IntoElement();
                    break;
                default:
                    if (pick(4) == 0) {
                        trace += "ResetPos\n";
                        doc.ResetPos();
                    }
                    break;
            }
            if (!added) {
                continue;
            }
            ++additions;
            const int index = doc.GetNextFree() - 1;
            const std::string written = doc.GetDocText();
            ASSERT_EQ(doc.GetElementName(index), name) << trace;
            ASSERT_EQ(doc.GetElementData(index), ReadBack(text)) << trace << written;
            CXmlDoc fresh;
            ASSERT_TRUE(fresh.ParseText(written.c_str())) << fresh.GetErrorText() << "\n"
                                                          << trace << written;
            ASSERT_EQ(fresh.GetNextFree(), doc.GetNextFree()) << trace << written;
            ExpectSameTree(doc, 0, fresh, 0, trace + written);
            if (HasFatalFailure()) {
                return;
            }
        }
    }
    // The walk must keep adding, or the property would hold vacuously (about 4000 succeed).
    EXPECT_GT(additions, 2000);
}

}  // namespace
