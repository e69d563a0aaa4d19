// CSkinImage, and the installation's skin pictures it draws: each picture loads, at the size the
// main window places it, with alpha only where it is blended over the frame.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "skin_image.h"
#include "skin_layout.h"
#include "test_main_window.h"

namespace {

using skintest::Canvas;
using skintest::Text;

struct PictureCase {
    std::string file;
    RECT place;
    bool alpha;
};

void PrintTo(const PictureCase& c, std::ostream* os) {
    *os << c.file;
}

class SkinPictureTest : public ::testing::TestWithParam<PictureCase> {};

TEST_P(SkinPictureTest, LoadsAtTheSizeTheWindowPlacesIt) {
    const PictureCase& c = GetParam();
    CSkinImage image;
    image.SetBasePath(skintest::InstallBase());
    ASSERT_TRUE(image.Load(c.file));
    EXPECT_EQ(image.GetImage().GetWidth(), skin_layout::Width(c.place));
    EXPECT_EQ(image.GetImage().GetHeight(), skin_layout::Height(c.place));
    EXPECT_EQ(image.GetImage().HasAlpha(), c.alpha);
}

std::vector<PictureCase> AllPictures() {
    std::vector<PictureCase> cases = {{"Top.png", skin_layout::kTop, false},
                                      {"Left.png", skin_layout::kLeft, false},
                                      {"Right.png", skin_layout::kRight, false},
                                      {"Bottom.png", skin_layout::kBottom, false}};
    static const std::vector<std::pair<std::string, RECT>> kButtons = {
        {"BtnClose", skin_layout::kClose},
        {"BtnMin", skin_layout::kMin},
        {"BtnHelp", skin_layout::kHelp},
        {"BtnFeedback", skin_layout::kFeedback}};
    for (const auto& [button, place] : kButtons) {
        for (const char* look : {"N.png", "S.png", "F.png", "D.png"}) {
            cases.push_back({button + look, place, true});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Installation, SkinPictureTest, ::testing::ValuesIn(AllPictures()),
                         [](const auto& info) {
                             return info.param.file.substr(0, info.param.file.find('.'));
                         });

constexpr uint32_t kFill = 0xFF123456u;

TEST(SkinImageTest, DrawsAtTheRectanglesCornerAtItsOwnSizeWhateverTheRectanglesSize) {
    // Left.png is 4 x 621: a canvas of 40 x 40 shows its first 35 rows from (5, 5).
    const RECT kPlacements[] = {{5, 5, 9, 626}, {5, 5, 5, 5}, {5, 5, 0, 0}, {5, 5, 30, 7}};
    for (const RECT& place : kPlacements) {
        SCOPED_TRACE(Text(place));
        CSkinImage image;
        image.SetBasePath(skintest::InstallBase());
        ASSERT_TRUE(image.Load("Left.png"));
        image.SetRect(place);
        EXPECT_EQ(image.GetWidth(), place.right - place.left);
        EXPECT_EQ(image.GetHeight(), place.bottom - place.top);
        Canvas canvas(40, 40, kFill);
        EXPECT_TRUE(image.Draw(canvas.dc()));
        EXPECT_EQ(Text(canvas.ChangedBox()), Text(RECT{5, 5, 9, 40}));
    }
}

TEST(SkinImageTest, AMissingFileOrANullContextDrawsNothing) {
    CSkinImage missing;
    missing.SetBasePath(skintest::InstallBase());
    EXPECT_FALSE(missing.Load("Nothing.png"));
    Canvas canvas(8, 8, kFill);
    EXPECT_FALSE(missing.Draw(canvas.dc()));

    CSkinImage loaded;
    loaded.SetBasePath(skintest::InstallBase());
    ASSERT_TRUE(loaded.Load("Left.png"));
    EXPECT_FALSE(loaded.Draw(nullptr));
    EXPECT_EQ(Text(canvas.ChangedBox()), Text(RECT{}));
}

TEST(SkinImageTest, TheFileIsTakenFromTheSkinFolderOfTheBasePath) {
    CSkinImage noBase;
    EXPECT_FALSE(noBase.Load("Left.png"));  // "Skin/Left.png" of the current folder
    CSkinImage withBase;
    withBase.SetBasePath(skintest::InstallBase());
    EXPECT_TRUE(withBase.Load("Left.png"));
    EXPECT_EQ(SkinFilePath("/opt/brdj/", "Top.png"), "/opt/brdj/Skin/Top.png");
}

}  // namespace
