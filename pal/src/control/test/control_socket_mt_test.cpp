// The control socket of another process, driven through the tool: a helper program with one
// window (test/control_helper.cpp) is clicked, typed at, listed, photographed and read, and
// survives bad requests.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include "test/png_writer.h"
#include "test/process_test_support.h"
#include "wait_until.h"

namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class ControlSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        record_ = root_.Path() + "/helper.record";
        pal::test::PngSpec spec;  // a green icon for the notification area
        spec.width = spec.height = 16;
        spec.colorType = 2;  // RGB
        for (int i = 0; i < 16 * 16; ++i) spec.samples.insert(spec.samples.end(), {0, 200, 0});
        std::vector<uint8_t> png = pal::test::WritePng(spec);
        std::string icon = root_.Path() + "/icon.png";
        brtest::WriteFile(icon, std::string(png.begin(), png.end()));
        std::string environment =
            paltest::EnvironmentWith({{"PAL_TEST_RECORD", record_}, {"PAL_TEST_ICON", icon}});
        PROCESS_INFORMATION info =
            processes_.Start(paltest::Helper("control"), "", environment.c_str());
        pid_ = std::to_string(info.dwProcessId);
        ASSERT_TRUE(brtest::WaitUntil([&] { return !Field("socket").empty(); }))
            << "the helper never served its socket";
        hwnd_ = Field("hwnd");
    }

    // A value of the helper's record; empty while it is not written.
    std::string Field(const std::string& name) { return paltest::ReadRecord(record_)[name]; }

    // Runs the tool with the arguments (given to the shell as they stand) in the folder.
    ToolRun Tool(const std::string& arguments, const std::string& folder = "/",
                 const std::string& environment = "") {
        std::string errFile = root_.Path() + "/tool.err";
        std::string command = "cd '" + folder + "' && " + environment + std::string(BR_BIN_DIR) +
                              "/paldesk " +
                              arguments + " 2>'" + errFile + "'";
        ToolRun run;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) {
            ADD_FAILURE() << "cannot run " << command;
            return run;
        }
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            run.out.append(buffer, n);
        }
        int status = pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.err = brtest::ReadFile(errFile);
        return run;
    }

    ToolRun ToHelper(const std::string& arguments) { return Tool("-p " + pid_ + " " + arguments); }

    bool MessagesEndWith(const std::string& tail) {
        std::string messages = Field("messages");
        return messages.size() >= tail.size() &&
               messages.compare(messages.size() - tail.size(), tail.size(), tail) == 0;
    }

    brtest::ScopedTestRoot root_;
    paltest::ProcessGuard processes_;
    std::string record_;
    std::string pid_;
    std::string hwnd_;
};

TEST_F(ControlSocketTest, TheToolListsTheProcessAndItsSocketIsTheUsersOnly) {
    ToolRun list = Tool("list");
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out, "process pid=" + pid_ + " program=\"pal_control_helper\"\n");
    ToolRun ping = Tool("ping");  // the only process: no -p needed
    EXPECT_EQ(ping.exitCode, 0) << ping.err;
    EXPECT_EQ(ping.out, list.out);

    std::string socket = Field("socket");
    EXPECT_EQ(socket, root_.Runtime() + "/control/" + pid_);
    struct stat st {};
    ASSERT_EQ(stat(socket.c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(stat((root_.Runtime() + "/control").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(ControlSocketTest, InputThroughTheToolReachesTheWindowProcedureInOrder) {
    // The window is at 100,100: points are given on the screen and arrive in client coordinates.
    struct Case {
        std::string request;
        std::string messages;  // what the window procedure saw for it
    };
    const Case cases[] = {
        {"click left 150 140",
         "NCHITTEST SETCURSOR LBUTTONDOWN(50,40) NCHITTEST SETCURSOR LBUTTONUP(50,40)"},
        {"move 399 299", "NCHITTEST SETCURSOR MOUSEMOVE(299,199)"},
        {"down right 100 100", "NCHITTEST SETCURSOR RBUTTONDOWN(0,0)"},
        {"up right 101 102", "NCHITTEST SETCURSOR RBUTTONUP(1,2)"},
        {"key press a", "KEYDOWN(65) CHAR(97) KEYUP(65)"},
        {"key down return", "KEYDOWN(13) CHAR(13)"},
        {"key up 0x0D", "KEYUP(13)"},
    };
    std::string expected;
    for (const Case& c : cases) {
        ToolRun run = ToHelper(c.request);
        ASSERT_EQ(run.exitCode, 0) << c.request << ": " << run.err;
        EXPECT_EQ(run.out, "") << c.request;
        expected += (expected.empty() ? "" : " ") + c.messages;
        EXPECT_TRUE(brtest::WaitUntil([&] { return MessagesEndWith(c.messages); }))
            << c.request << " gave " << Field("messages");
        EXPECT_EQ(Field("messages"), expected) << c.request;
    }
}

// The pixel at x, y of a PNG file as 0xAARRGGBB, its size in *cx, *cy.
uint32_t PixelOf(const std::string& path, int x, int y, int* cx, int* cy) {
    HBITMAP bitmap = PalLoadPngA(path.c_str(), nullptr);
    if (!bitmap) {
        ADD_FAILURE() << path << " does not load: " << GetLastError();
        return 0;
    }
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    *cx = info.bmWidth;
    *cy = info.bmHeight;
    uint32_t pixel = static_cast<const uint32_t*>(info.bmBits)[y * info.bmWidth + x];
    DeleteObject(bitmap);
    return pixel;
}

TEST_F(ControlSocketTest, TheToolListsTheWindowsAndSavesTheScreenAndAWindow) {
    ToolRun windows = ToHelper("windows");
    EXPECT_EQ(windows.exitCode, 0) << windows.err;
    EXPECT_EQ(windows.out, "window hwnd=" + hwnd_ +
                               " class=\"PalControlHelper\" text=\"control helper\""
                               " rect=100,100,400,300 visible=1\n");

    // A relative path is the tool's folder's, as the shell user means it.
    ToolRun screen = Tool("-p " + pid_ + " save-screen screen.png", root_.Path());
    ASSERT_EQ(screen.exitCode, 0) << screen.err;
    int cx = 0, cy = 0;
    const uint32_t kRed = 0xFFFF0000u;
    EXPECT_EQ(PixelOf(root_.Path() + "/screen.png", 250, 200, &cx, &cy), kRed);
    EXPECT_GT(cx, 400);
    EXPECT_GT(cy, 300);
    EXPECT_NE(PixelOf(root_.Path() + "/screen.png", 99, 200, &cx, &cy), kRed);

    ToolRun window = ToHelper("save-window " + hwnd_ + " '" + root_.Path() + "/a window.png'");
    ASSERT_EQ(window.exitCode, 0) << window.err;
    EXPECT_EQ(PixelOf(root_.Path() + "/a window.png", 0, 0, &cx, &cy), kRed);
    EXPECT_EQ(cx, 300);
    EXPECT_EQ(cy, 200);
}

// A runtime root deeper than a socket address holds: the process serves there and the tool
// reaches it all the same.
TEST_F(ControlSocketTest, TheToolReachesAProcessInARuntimeRootTooDeepForASocketAddress) {
    std::string deep = root_.Path() + "/" + std::string(60, 'd') + "/" + std::string(60, 'e');
    ASSERT_GT(deep.size() + sizeof("/control/") + pid_.size(), sizeof(sockaddr_un{}.sun_path));
    ASSERT_EQ(system(("mkdir -p '" + deep + "'").c_str()), 0);
    const std::string record = root_.Path() + "/deep.record";
    const std::string environment =
        paltest::EnvironmentWith({{"PAL_TEST_RECORD", record}, {"PAL_RUNTIME_DIR", deep}});
    PROCESS_INFORMATION info =
        processes_.Start(paltest::Helper("control"), "", environment.c_str());
    ASSERT_TRUE(brtest::WaitUntil([&] { return !paltest::ReadRecord(record)["socket"].empty(); }))
        << "the helper never served its socket";
    const std::string pid = std::to_string(info.dwProcessId);
    ToolRun list = Tool("list", "/", "PAL_RUNTIME_DIR='" + deep + "' ");
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out, "process pid=" + pid + " program=\"pal_control_helper\"\n");
}

// The rectangle written after "rect=" in the line.
RECT RectIn(const std::string& line) {
    RECT rect{};
    size_t at = line.find("rect=");
    if (at == std::string::npos || std::sscanf(line.c_str() + at, "rect=%d,%d,%d,%d", &rect.left,
                                               &rect.top, &rect.right, &rect.bottom) != 4) {
        ADD_FAILURE() << "no rectangle in " << line;
    }
    return rect;
}

std::string CentreOf(const RECT& rect) {
    return std::to_string((rect.left + rect.right) / 2) + " " +
           std::to_string((rect.top + rect.bottom) / 2);
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
        end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end;
        lines.push_back(text.substr(at, end - at));
    }
    return lines;
}

TEST_F(ControlSocketTest, ATrayIconAPopupMenuAndAMessageBoxAreReadAndDrivenThroughTheTool) {
    // The notification area: the helper's icon, clicked where the tool says it is.
    ToolRun tray = ToHelper("tray");
    ASSERT_EQ(tray.exitCode, 0) << tray.err;
    std::string iconLine = "icon hwnd=" + hwnd_ + " id=5 message=0x8001 tip=\"helper tip\" rect=";
    ASSERT_EQ(tray.out.rfind(iconLine, 0), 0u) << tray.out;
    RECT icon = RectIn(tray.out);
    EXPECT_EQ(icon.right - icon.left, 24);
    ASSERT_EQ(ToHelper("click left " + CentreOf(icon)).exitCode, 0);
    EXPECT_TRUE(brtest::WaitUntil([&] { return MessagesEndWith("TRAY(513) TRAY(514)"); }))
        << Field("messages");

    // The popup menu: opened by a key, read, photographed, and chosen by the pointer.
    ASSERT_EQ(ToHelper("key press p").exitCode, 0);
    std::string menu;
    ASSERT_TRUE(brtest::WaitUntil([&] { return !(menu = ToHelper("menu").out).empty(); }));
    std::vector<std::string> lines = LinesOf(menu);
    ASSERT_EQ(lines.size(), 4u) << menu;
    EXPECT_EQ(lines[0].rfind("menu hwnd=", 0), 0u);
    EXPECT_NE(lines[0].find(" items=3"), std::string::npos) << lines[0];
    RECT shown = RectIn(lines[0]);
    EXPECT_EQ(shown.left, 150);
    EXPECT_EQ(shown.top, 150);
    struct Item {
        std::string start, end;
    };
    const Item items[] = {
        {"item id=7 text=\"打开 \\\"list\\\"\" rect=", " flags=0x0 highlighted=0"},
        {"item id=0 text=\"\" rect=", " flags=0x800 highlighted=0"},
        {"item id=8 text=\"box\" rect=", " flags=0x0 highlighted=0"},
    };
    for (size_t i = 0; i < 3; ++i) {
        const std::string& line = lines[i + 1];
        EXPECT_EQ(line.rfind(items[i].start, 0), 0u) << line;
        EXPECT_EQ(line.substr(line.size() - std::min(line.size(), items[i].end.size())),
                  items[i].end);
    }
    RECT open = RectIn(lines[1]), box = RectIn(lines[3]);
    EXPECT_GT(box.top, open.bottom);  // in order, down the popup

    std::string screenPath = root_.Path() + "/menu.png";
    ASSERT_EQ(ToHelper("save-screen " + screenPath).exitCode, 0);
    int cx = 0, cy = 0;
    const uint32_t kRed = 0xFFFF0000u;
    EXPECT_NE(PixelOf(screenPath, open.left + 2, (open.top + open.bottom) / 2, &cx, &cy), kRed)
        << "the menu is drawn over the window";
    EXPECT_EQ(PixelOf(screenPath, 120, 120, &cx, &cy), kRed);
    EXPECT_EQ(PixelOf(screenPath, (icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2, &cx,
                      &cy),
              0xFF00C800u)
        << "the helper's icon is drawn in the notification area";

    ASSERT_EQ(ToHelper("click left " + CentreOf(box)).exitCode, 0);
    EXPECT_TRUE(brtest::WaitUntil([&] { return MessagesEndWith("COMMAND(8) BOX(2)"); }))
        << Field("messages");
    EXPECT_TRUE(brtest::WaitUntil([&] { return ToHelper("menu").out.empty(); }));
    ToolRun boxes = ToHelper("boxes");
    EXPECT_EQ(boxes.exitCode, 0) << boxes.err;
    EXPECT_EQ(boxes.out,
              "box owner=" + hwnd_ + " caption=\"helper\" text=\"继续吗?\" type=0x101 result=2\n");

    // The menu again, chosen by keys this time: Down highlights the first item, Enter takes it.
    ASSERT_EQ(ToHelper("key press p").exitCode, 0);
    ASSERT_TRUE(brtest::WaitUntil([&] { return !ToHelper("menu").out.empty(); }));
    ASSERT_EQ(ToHelper("key press down").exitCode, 0);
    EXPECT_TRUE(brtest::WaitUntil([&] {
        return ToHelper("menu").out.find("item id=7 text=\"打开 \\\"list\\\"\" rect=") !=
                   std::string::npos &&
               ToHelper("menu").out.find("highlighted=1") != std::string::npos;
    }));
    ASSERT_EQ(ToHelper("key press return").exitCode, 0);
    // (The key's release may come after the menu has closed, to the window.)
    EXPECT_TRUE(brtest::WaitUntil([&] {
        return Field("messages").find("BOX(2) KEYDOWN(80) COMMAND(7)") != std::string::npos;
    })) << Field("messages");
}

// Sends raw bytes to the socket and returns all it answers before closing or the time passes.
std::string RawExchange(const std::string& socketPath, const std::string& bytes) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return "no connection";
    }
    send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    shutdown(fd, SHUT_WR);
    timeval timeout{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    std::string answer;
    char buffer[1024];
    ssize_t n;
    while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0) {
        answer.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return answer;
}

TEST_F(ControlSocketTest, BadRequestsGetAnErrorAndTheProcessServesOn) {
    struct Case {
        std::string arguments;
        int exitCode;
        std::string err;
    };
    const Case cases[] = {
        {"-p " + pid_ + " fly", 1, "paldesk: process " + pid_ + ": unknown request \"fly\"\n"},
        {"-p " + pid_ + " click middle 1 2", 1,
         "paldesk: process " + pid_ + ": bad button \"middle\" (left or right)\n"},
        {"-p " + pid_ + " save-window 0x1 /tmp/x.png", 1,
         "paldesk: process " + pid_ + ": no top-level window 0x1\n"},
        {"-p ../" + pid_ + " ping", 2, "paldesk: not a process id: ../" + pid_ + "\n"},
        {"-p", 2, ""},  // usage
        {"list extra", 2, ""},
    };
    for (const Case& c : cases) {
        ToolRun run = Tool(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
        EXPECT_EQ(run.out, "") << c.arguments;
        if (!c.err.empty()) {
            EXPECT_EQ(run.err, c.err) << c.arguments;
        } else {
            EXPECT_EQ(run.err.rfind("usage: paldesk", 0), 0u) << c.arguments << ": " << run.err;
        }
    }
    ToolRun absent = Tool("-p 999999999 ping");
    EXPECT_EQ(absent.exitCode, 2);

    std::string socket = Field("socket");
    // Several requests in one go are answered in order; a bad one does not end the connection.
    EXPECT_EQ(RawExchange(socket, "ping\r\nfly\n\nwindows extra\n"),
              "process pid=" + pid_ +
                  " program=\"pal_control_helper\"\nOK\n"
                  "ERR unknown request \"fly\"\nERR empty request\nERR usage: windows\n");
    EXPECT_EQ(RawExchange(socket, std::string("ping\0\n", 6)),
              "ERR the request holds a control character\n");
    // A request without an end is cut off at the limit, and its connection closed.
    EXPECT_EQ(RawExchange(socket, std::string(5000, 'x')), "ERR request longer than 4096 bytes\n");
    EXPECT_EQ(RawExchange(socket, std::string(100, '\xff') + "\n"),
              "ERR unknown request \"" + std::string(100, '\xff') + "\"\n");
    ToolRun after = ToHelper("ping");
    EXPECT_EQ(after.exitCode, 0) << after.err;
}

}  // namespace
