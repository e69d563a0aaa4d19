// DIALOGEX templates: the builder's exact bytes, the reader's round trip, and damaged templates.
#include <gtest/gtest.h>

#include "dialog/dialog_template.h"
#include "hex_bytes.h"

namespace {

using pal::dialog::ReadDialogTemplate;

PalDialogDescription OneButton() {
    PalDialogDescription d;
    d.style = WS_POPUP;
    d.x = 1;
    d.y = 2;
    d.cx = 3;
    d.cy = 4;
    d.title = "T";
    d.fontFace = "A";
    d.charset = 1;
    PalDialogItem ok;
    ok.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    ok.x = 5;
    ok.y = 6;
    ok.cx = 7;
    ok.cy = 8;
    ok.id = IDOK;
    ok.className = "BUTTON";
    ok.text = "OK";
    ok.data = {0xAB};
    d.items = {ok};
    return d;
}

const char kOneButton[] =
    "01 00 FF FF | 00 00 00 00 | 00 00 00 00 | 40 00 00 80 | 01 00 | 01 00 02 00 03 00 04 00\n"
    "00 00 | 00 00 | 54 00 00 00 | 09 00 90 01 00 01 | 41 00 00 00\n"
    "00 00 00 00 | 00 00 00 00 | 00 00 01 50 | 05 00 06 00 07 00 08 00 | 01 00 00 00\n"
    "FF FF 80 00 | 4F 00 4B 00 00 00 | 01 00 AB";

std::vector<BYTE> AsBytes(const std::string& text) {
    return std::vector<BYTE>(text.begin(), text.end());
}

TEST(DialogTemplate, TheBuilderLaysOutADialogExAsTheResourceCompilerDoes) {
    EXPECT_EQ(PalBuildDialogTemplate(OneButton()), AsBytes(brtest::Bytes(kOneButton)));
}

TEST(DialogTemplate, ReadingGivesBackTheDescription) {
    PalDialogDescription d = OneButton();
    PalDialogItem icon;
    icon.className = "STATIC";
    icon.style = WS_CHILD | SS_ICON;
    icon.textOrdinal = 128;
    PalDialogItem hosted;
    hosted.className = "{D27CDB6E-AE6D-11CF-96B8-444553540000}";
    hosted.id = 1000;
    hosted.data = {1, 2, 3, 4, 5};
    PalDialogItem named;
    named.className = "MyClass";
    named.text = PalGbk("确定");  // two-byte characters survive the UTF-16 of the template
    d.items.insert(d.items.end(), {icon, hosted, named});
    d.title = PalGbk("关于 BRDJ");
    std::vector<BYTE> bytes = PalBuildDialogTemplate(d);
    auto read = ReadDialogTemplate(bytes.data(), bytes.size());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->style, WS_POPUP | DS_SETFONT);
    EXPECT_EQ(read->title, d.title);
    EXPECT_TRUE(read->hasFont);
    EXPECT_EQ(read->pointSize, 9);
    EXPECT_EQ(read->fontFace, "A");
    EXPECT_EQ((std::vector<short>{read->x, read->y, read->cx, read->cy}),
              (std::vector<short>{1, 2, 3, 4}));
    ASSERT_EQ(read->items.size(), 4u);
    for (size_t i = 0; i < d.items.size(); ++i) {
        SCOPED_TRACE(i);
        const PalDialogItem& want = d.items[i];
        const pal::dialog::TemplateItem& got = read->items[i];
        EXPECT_EQ(got.className, want.className);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.textOrdinal, want.textOrdinal);
        EXPECT_EQ(got.style, want.style);
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.data, want.data);
        EXPECT_EQ((std::vector<short>{got.x, got.y, got.cx, got.cy}),
                  (std::vector<short>{want.x, want.y, want.cx, want.cy}));
    }
}

TEST(DialogTemplate, DamagedTemplatesAreRefused) {
    const std::vector<BYTE> good = AsBytes(brtest::Bytes(kOneButton));
    // Every cut short of the whole template runs past its end somewhere.
    for (size_t size = 0; size < good.size(); ++size) {
        EXPECT_FALSE(ReadDialogTemplate(good.data(), size)) << size;
    }
    struct Case {
        const char* name;
        size_t at;
        BYTE value;
    };
    const Case cases[] = {
        {"an old-style template (no DIALOGEX signature)", 2, 0x00},
        {"a version other than 1", 0, 0x02},
        {"more items than there are", 16, 0x02},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> bad = good;
        bad[c.at] = c.value;
        EXPECT_FALSE(ReadDialogTemplate(bad.data(), bad.size())) << c.name;
    }
    // A title without its terminating zero.
    std::vector<BYTE> open =
        AsBytes(brtest::Bytes("01 00 FF FF 00 00 00 00 00 00 00 00 00 00 00 00"
                              " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 54 00"));
    EXPECT_FALSE(ReadDialogTemplate(open.data(), open.size()));
    EXPECT_FALSE(ReadDialogTemplate(nullptr, 100));
}

TEST(DialogTemplate, ABuildThatCannotBeWrittenIsEmpty) {
    PalDialogDescription tooMuchData = OneButton();
    tooMuchData.items[0].data.assign(0x10000, 0);
    EXPECT_TRUE(PalBuildDialogTemplate(tooMuchData).empty());
    PalDialogDescription notGbk = OneButton();
    notGbk.title = "\x81";  // a lead byte without its second byte
    EXPECT_TRUE(PalBuildDialogTemplate(notGbk).empty());
}

}  // namespace
