// CSkinButton: its looks as the main window's mouse handlers drive them, the trace line of every
// call with the counter all buttons share, the invalidation of its rectangle in the main window,
// its pictures by state, and its actions.
#include <stdlib.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "skin_button.h"
#include "skin_layout.h"
#include "test_main_window.h"
#include "test_root.h"

namespace {

using skintest::Canvas;
using skintest::TestMainWindow;
using skintest::Text;

// Where OutputDebugStringA writes while the object lives: a file of the test's root.
class DebugOutput {
public:
    explicit DebugOutput(const brtest::ScopedTestRoot& root) : path_(root.Path() + "/debug.txt") {
        setenv("PAL_DEBUG_OUTPUT", path_.c_str(), 1);
    }
    ~DebugOutput() { unsetenv("PAL_DEBUG_OUTPUT"); }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream in(brtest::ReadFile(path_));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

private:
    std::string path_;
};

struct Step {
    int newState;
    UINT flags;
    int stateAfter;
};

struct StateCase {
    const char* name;
    std::vector<Step> steps;
};

void PrintTo(const StateCase& c, std::ostream* os) {
    *os << c.name;
}

class SkinButtonStateTest : public ::testing::TestWithParam<StateCase> {
protected:
    brtest::ScopedTestRoot root_;
    DebugOutput output_{root_};
    TestMainWindow window_;
};

// Each step is traced, changes the state as the table says, and invalidates the button's
// rectangle exactly when the state changed.
TEST_P(SkinButtonStateTest, FollowsTheMouseAsTheWindowDrivesIt) {
    CSkinButton button;
    button.SetRect(skin_layout::kMin);
    int before = button.GetState();
    size_t line = output_.Lines().size();
    for (const Step& step : GetParam().steps) {
        SCOPED_TRACE("SetState(" + std::to_string(step.newState) + ", " +
                     std::to_string(step.flags) + ") from " + std::to_string(before));
        ValidateRect(window_.Handle(), nullptr);
        button.SetState(step.newState, step.flags);
        EXPECT_EQ(button.GetState(), step.stateAfter);
        RECT expected = step.stateAfter != before ? skin_layout::kMin : RECT{};
        EXPECT_EQ(Text(window_.UpdateBox()), Text(expected));

        std::vector<std::string> lines = output_.Lines();
        ASSERT_EQ(lines.size(), line + 1);
        std::smatch m;
        ASSERT_TRUE(std::regex_match(lines[line], m,
                                     std::regex(R"(Index(\d+)---OldState:(-?\d+)---NewState:)"
                                                R"((-?\d+)---Flasg:(\d+))")))
            << lines[line];
        EXPECT_EQ(std::stoi(m[2]), before);
        EXPECT_EQ(std::stoi(m[3]), step.newState);
        EXPECT_EQ(std::stoul(m[4]), step.flags);
        ++line;
        before = button.GetState();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SkinButtonStateTest,
    ::testing::Values(
        StateCase{"hover_press_release_leave", {{2, 0, 2}, {1, 0, 1}, {2, 0, 2}, {0, 0, 0}}},
        StateCase{"pressed_then_moved_off_with_the_button_held", {{1, 0, 1}, {0, 0, 0}}},
        StateCase{"moved_back_on_with_the_button_held_is_hover_not_pressed",
                  {{1, 0, 1}, {0, 0, 0}, {2, MK_LBUTTON, 2}}},
        StateCase{"pressed_and_moved_over_with_the_button_held_stays_pressed",
                  {{1, 0, 1}, {2, MK_LBUTTON, 1}, {2, MK_LBUTTON | MK_SHIFT, 1}}},
        StateCase{"pressed_then_moved_over_without_the_button_is_hover", {{1, 0, 1}, {2, 0, 2}}},
        StateCase{"the_current_value_changes_nothing", {{0, 0, 0}, {2, 0, 2}, {2, MK_LBUTTON, 2}}},
        StateCase{"the_fourth_look_is_left_whatever_the_flags", {{3, 0, 3}, {0, MK_LBUTTON, 0}}},
        StateCase{"an_unknown_state_is_kept", {{7, 0, 7}, {0, 0, 7}, {2, 0, 7}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SkinButtonTest, EveryButtonCountsOnTheSameTraceCounter) {
    brtest::ScopedTestRoot root;
    DebugOutput output(root);
    CSkinButton first;
    CSkinButton second;
    first.SetState(2, 0);
    second.SetState(0, 0);
    first.SetState(2, 0);
    std::vector<std::string> lines = output.Lines();
    ASSERT_EQ(lines.size(), 3u);
    std::vector<int> indexes;
    for (const std::string& line : lines) {
        int index = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "Index%d---", &index), 1) << line;
        indexes.push_back(index);
    }
    EXPECT_EQ(indexes[1], indexes[0] + 1);
    EXPECT_EQ(indexes[2], indexes[0] + 2);
}

TEST(SkinButtonTest, WithoutAMainWindowTheStateStillChanges) {
    CSkinButton button;
    button.SetRect(skin_layout::kClose);
    button.SetState(1, 0);
    EXPECT_EQ(button.GetState(), 1);
    button.SetAction(SKIN_ACTION_CLOSE);
    button.DoAction();  // posts to no window
}

TEST(SkinButtonTest, HitTestTakesTheLeftAndTopEdgesAndLeavesTheRightAndBottom) {
    CSkinButton button;
    button.SetRect(skin_layout::kClose);  // (792, 2, 819, 27)
    struct {
        POINT point;
        bool hit;
    } const kPoints[] = {{{792, 2}, true},   {{818, 26}, true},  {{805, 14}, true},
                         {{819, 14}, false}, {{805, 27}, false}, {{791, 14}, false},
                         {{805, 1}, false}};
    for (const auto& p : kPoints) {
        EXPECT_EQ(button.HitTest(p.point), p.hit) << p.point.x << ", " << p.point.y;
    }
}

// The picture drawn is the one of the current state, at the rectangle's corner.
TEST(SkinButtonTest, DrawsThePictureOfItsState) {
    CSkinButton button;
    ASSERT_TRUE(button.Load(skintest::InstallBase(), "BtnClose"));
    button.SetRect(RECT{3, 2, 3, 2});
    const char* const kLooks[] = {"N.png", "S.png", "F.png", "D.png"};
    for (int state = 0; state < CSkinButton::kStateCount; ++state) {
        SCOPED_TRACE(kLooks[state]);
        button.SetState(state, 0);
        Canvas drawn(40, 40, 0xFF000000u);
        ASSERT_TRUE(button.Draw(drawn.dc()));
        CImage picture;
        ASSERT_EQ(picture.Load((skintest::InstallBase() + "Skin/BtnClose" + kLooks[state]).c_str()),
                  S_OK);
        Canvas expected(40, 40, 0xFF000000u);
        ASSERT_TRUE(picture.Draw(expected.dc(), 3, 2));
        EXPECT_TRUE(drawn.SamePixels(expected));
        for (int other = 0; other < CSkinButton::kStateCount; ++other) {
            if (other == state)
                continue;
            CImage look;
            ASSERT_EQ(
                look.Load((skintest::InstallBase() + "Skin/BtnClose" + kLooks[other]).c_str()),
                S_OK);
            Canvas wrong(40, 40, 0xFF000000u);
            look.Draw(wrong.dc(), 3, 2);
            EXPECT_FALSE(drawn.SamePixels(wrong)) << "looks like " << kLooks[other];
        }
    }
}

TEST(SkinButtonTest, AnUnknownStateDrawsNothingAndANullContextIsFalse) {
    CSkinButton button;
    ASSERT_TRUE(button.Load(skintest::InstallBase(), "BtnMin"));
    EXPECT_FALSE(button.Draw(nullptr));
    button.SetState(9, 0);
    Canvas canvas(40, 40, 0xFF000000u);
    EXPECT_TRUE(button.Draw(canvas.dc()));
    EXPECT_EQ(Text(canvas.ChangedBox()), Text(RECT{}));
}

TEST(SkinButtonTest, MissingPicturesLoadAsEmptyAndDrawNothing) {
    CSkinButton button;
    EXPECT_TRUE(button.Load(skintest::InstallBase(), "BtnNone"));
    Canvas canvas(40, 40, 0xFF000000u);
    EXPECT_FALSE(button.Draw(canvas.dc()));
    EXPECT_EQ(Text(canvas.ChangedBox()), Text(RECT{}));
}

struct ActionCase {
    const char* name;
    int action;
    std::vector<std::pair<UINT, WPARAM>> posted;
};

void PrintTo(const ActionCase& c, std::ostream* os) {
    *os << c.name;
}

class SkinButtonActionTest : public ::testing::TestWithParam<ActionCase> {};

TEST_P(SkinButtonActionTest, PostsItsMessageToTheMainWindow) {
    brtest::ScopedTestRoot root;
    TestMainWindow window;
    CSkinButton button;
    if (GetParam().action != SKIN_ACTION_NONE)
        button.SetAction(GetParam().action);
    button.DoAction();
    std::vector<std::pair<UINT, WPARAM>> posted;
    for (const MSG& msg : window.TakePosted()) {
        EXPECT_EQ(msg.lParam, 0);
        posted.emplace_back(msg.message, msg.wParam);
    }
    EXPECT_EQ(posted, GetParam().posted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SkinButtonActionTest,
    ::testing::Values(ActionCase{"close", SKIN_ACTION_CLOSE, {{WM_CLOSE, 0}}},
                      ActionCase{"minimise", SKIN_ACTION_MINIMIZE, {{WM_SYSCOMMAND, SC_MINIMIZE}}},
                      ActionCase{"never_set", SKIN_ACTION_NONE, {}},
                      ActionCase{"another_value", 4, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
