// The control socket's requests, answered in this process: refusals, input, the window list,
// the readers' reports, and how values are written and read.
#include <gtest/gtest.h>

#include "control/control_requests.h"
#include "control/control_text.h"
#include "desktop/test/desktop_test_support.h"

namespace {

using pal::control::Answer;
using paltest::CreateAt;
using paltest::Log;
using paltest::TestClass;

class ControlRequestTest : public paltest::WindowTest {
protected:
    ControlRequestTest() { RemoveReaders(); }
    ~ControlRequestTest() override { RemoveReaders(); }
    static void RemoveReaders() {
        PalSetControlMenuReader(nullptr);
        PalSetControlTrayReader(nullptr);
        PalSetControlMessageBoxReader(nullptr);
    }
};

TEST_F(ControlRequestTest, BadRequestsGetOneErrorLineWithTheReason) {
    struct Case {
        std::string line;
        std::string answer;
    };
    const Case cases[] = {
        {"", "ERR empty request\n"},
        {"   ", "ERR empty request\n"},
        {"fly 1 2", "ERR unknown request \"fly\"\n"},
        {"Click left 1 2", "ERR unknown request \"Click\"\n"},
        {"move 1", "ERR usage: move X Y\n"},
        {"move 1 2 3", "ERR usage: move X Y\n"},
        {"windows all", "ERR usage: windows\n"},
        {"save-screen", "ERR usage: save-screen PATH\n"},
        {"move a 2", "ERR bad point a 2\n"},
        {"move 32768 2", "ERR bad point 32768 2\n"},
        {"move 1 +2", "ERR bad point 1 +2\n"},
        {"move 99999999999999999999 1", "ERR bad point 99999999999999999999 1\n"},
        {"click middle 1 2", "ERR bad button \"middle\" (left or right)\n"},
        {"down left 1 y", "ERR bad point 1 y\n"},
        {"key hold a", "ERR bad key action \"hold\" (down, up or press)\n"},
        {"key press f13", "ERR bad key \"f13\"\n"},
        {"key press 0x1FF", "ERR bad key \"0x1FF\"\n"},
        {"save-screen shot.png", "ERR the path must be absolute\n"},
        {"save-screen /nonexistent/folder/shot.png",
         "ERR cannot write \"/nonexistent/folder/shot.png\"\n"},
        {"save-window 0x1 /tmp/w.png", "ERR no top-level window 0x1\n"},
        {"save-window window /tmp/w.png", "ERR no top-level window window\n"},
        {std::string("ping\0x", 6), "ERR the request holds a control character\n"},
        {"ping\tx", "ERR the request holds a control character\n"},
        {"menu", "ERR nothing here reports popup menus\n"},
        {"tray", "ERR nothing here reports notification-area icons\n"},
        {"boxes", "ERR nothing here reports message boxes\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Answer(c.line), c.answer) << c.line;
    }
}

TEST_F(ControlRequestTest, InputRequestsBecomeTheMessagesOfTheInputEntry) {
    TestClass windowClass;
    HWND hwnd = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {100, 100, 400, 300});
    ASSERT_NE(hwnd, nullptr);
    struct Case {
        std::string request;
        std::vector<UINT> messages;  // of those below, in order
        LPARAM lastPoint;            // lParam of the last mouse message, or -1
    };
    const std::vector<UINT> among = {WM_NCHITTEST, WM_SETCURSOR,   WM_MOUSEMOVE, WM_LBUTTONDOWN,
                                     WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_KEYDOWN,
                                     WM_KEYUP,     WM_CHAR};
    const Case cases[] = {
        {"click left 150 140",
         {WM_NCHITTEST, WM_SETCURSOR, WM_LBUTTONDOWN, WM_NCHITTEST, WM_SETCURSOR, WM_LBUTTONUP},
         MAKELPARAM(50, 40)},
        {"down right 101 299", {WM_NCHITTEST, WM_SETCURSOR, WM_RBUTTONDOWN}, MAKELPARAM(1, 199)},
        {"up right 101 299", {WM_NCHITTEST, WM_SETCURSOR, WM_RBUTTONUP}, MAKELPARAM(1, 199)},
        {"move 0x80 0x90", {WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEMOVE}, MAKELPARAM(28, 44)},
        {"key press a", {WM_KEYDOWN, WM_CHAR, WM_KEYUP}, -1},
        {"key down return", {WM_KEYDOWN, WM_CHAR}, -1},
        {"key up 13", {WM_KEYUP}, -1},
    };
    paltest::PumpAll();
    for (const Case& c : cases) {
        Log().Clear();
        EXPECT_EQ(Answer(c.request), "OK\n") << c.request;
        paltest::PumpAll();
        EXPECT_EQ(paltest::MessagesAmong(hwnd, among), c.messages) << c.request;
        if (c.lastPoint != -1) {
            EXPECT_EQ(paltest::LastSeen(hwnd, c.messages.back()).lParam, c.lastPoint) << c.request;
        }
    }
    DestroyWindow(hwnd);
}

// The lines of the answer that name one of the handles, in order.
std::vector<std::string> LinesNaming(const std::string& answer, const std::vector<HWND>& hwnds) {
    std::vector<std::string> lines;
    size_t at = 0;
    for (size_t end; (end = answer.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string line = answer.substr(at, end - at);
        for (HWND hwnd : hwnds) {
            if (line.find("hwnd=" + pal::control::HandleText(hwnd) + " ") != std::string::npos) {
                lines.push_back(line);
            }
        }
    }
    return lines;
}

TEST_F(ControlRequestTest, WindowsListsTheTopLevelWindowsFrontFirst) {
    TestClass windowClass;
    HWND back = CreateAt(windowClass, WS_POPUP, nullptr, {5, 6, 25, 36});
    HWND front = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {-10, 0, 90, 50});
    HWND child = CreateAt(windowClass, WS_CHILD | WS_VISIBLE, front, {1, 1, 5, 5}, 3);
    ASSERT_TRUE(back && front && child);
    SetWindowTextA(front, PalGbk("播放 \"1\"\\"));
    std::string answer = Answer("windows");
    ASSERT_EQ(answer.substr(answer.size() - 3), "OK\n");
    std::string cls = windowClass.Name();
    EXPECT_EQ(LinesNaming(answer, {back, front, child}),
              (std::vector<std::string>{
                  "window hwnd=" + pal::control::HandleText(front) + " class=\"" + cls +
                      "\" text=\"播放 \\\"1\\\"\\\\\" rect=-10,0,90,50 visible=1",
                  "window hwnd=" + pal::control::HandleText(back) + " class=\"" + cls +
                      "\" text=\"\" rect=5,6,25,36 visible=0",
              }));
    DestroyWindow(front);
    DestroyWindow(back);
}

TEST_F(ControlRequestTest, ReadersReportWhatTheAreasShow) {
    HWND owner = reinterpret_cast<HWND>(static_cast<intptr_t>(0x2a));
    PalSetControlMenuReader([owner] {
        PalControlMenu menu{owner, RECT{10, 20, 110, 80}, {}};
        menu.items.push_back({40001, PalGbk("退出"), RECT{10, 20, 110, 40}, 0, true});
        menu.items.push_back({0, "", RECT{10, 40, 110, 44}, 0x800, false});
        return std::vector<PalControlMenu>{menu, PalControlMenu{}};
    });
    PalSetControlTrayReader([owner] {
        return std::vector<PalControlTrayIcon>{{owner, 1, 0x8001, "tip\nline", RECT{1, 2, 3, 4}}};
    });
    PalSetControlMessageBoxReader([owner] {
        return std::vector<PalControlMessageBox>{{owner, "Caption", "Text", 0x31, 0},
                                                 {nullptr, "", "b", 0, 1}};
    });
    EXPECT_EQ(Answer("menu"),
              "menu hwnd=0x2a rect=10,20,110,80 items=2\n"
              "item id=40001 text=\"退出\" rect=10,20,110,40 flags=0x0 highlighted=1\n"
              "item id=0 text=\"\" rect=10,40,110,44 flags=0x800 highlighted=0\n"
              "menu hwnd=0x0 rect=0,0,0,0 items=0\n"
              "OK\n");
    EXPECT_EQ(Answer("tray"),
              "icon hwnd=0x2a id=1 message=0x8001 tip=\"tip\\nline\" rect=1,2,3,4\nOK\n");
    EXPECT_EQ(Answer("boxes"),
              "box owner=0x2a caption=\"Caption\" text=\"Text\" type=0x31 result=0\n"
              "box owner=0x0 caption=\"\" text=\"b\" type=0x0 result=1\nOK\n");
    PalSetControlTrayReader([] { return std::vector<PalControlTrayIcon>{}; });
    EXPECT_EQ(Answer("tray"), "OK\n");  // a reader with nothing shown is not a missing reader
    PalSetControlMenuReader(
        []() -> std::vector<PalControlMenu> { throw std::runtime_error("menu gone"); });
    EXPECT_EQ(Answer("menu"), "ERR failed: menu gone\n");
    PalSetControlMenuReader(nullptr);
    EXPECT_EQ(Answer("menu"), "ERR nothing here reports popup menus\n");
}

TEST(ControlText, TextsAreQuotedUtf8WithEscapes) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "\"\""},
        {"plain text", "\"plain text\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"\r\n\t", "\"\\r\\n\\t\""},
        {"\x01\x1f\x7f", "\"\\x01\\x1F\\x7F\""},
        {PalGbk("中文"), "\"中文\""},
    };
    for (const auto& [narrow, quoted] : cases) {
        EXPECT_EQ(pal::control::Quoted(narrow), quoted) << narrow;
    }
}

TEST(ControlText, NumbersAreWholeAndInRange) {
    struct Case {
        const char* word;
        std::optional<long long> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"-5", -5},
        {"0xA", 10},
        {"0X0a", 10},
        {"10", 10},
        {"11", std::nullopt},
        {"-6", std::nullopt},
        {"", std::nullopt},
        {" 1", std::nullopt},
        {"+1", std::nullopt},
        {"1x", std::nullopt},
        {"0x", std::nullopt},
        {"0x-1", std::nullopt},
        {"1.5", std::nullopt},
        {"0x1F", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pal::control::ParseNumber(c.word, -5, 10), c.value) << c.word;
    }
    EXPECT_EQ(pal::control::ParseHandle("0x2a"), reinterpret_cast<HWND>(0x2a));
    EXPECT_EQ(pal::control::ParseHandle("0"), std::nullopt);
    EXPECT_EQ(pal::control::ParseHandle(pal::control::HandleText(reinterpret_cast<HWND>(0x1234))),
              reinterpret_cast<HWND>(0x1234));
}

}  // namespace
