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
        std::string environment = paltest::EnvironmentWith({{"PAL_TEST_RECORD", record_}});
        PROCESS_INFORMATION info = processes_.Start(paltest::Helper("control"), "",
                                                    environment.c_str());
        pid_ = std::to_string(info.dwProcessId);
        ASSERT_TRUE(brtest::WaitUntil([&] { return !Field("socket").empty(); }))
            << "the helper never served its socket";
        hwnd_ = Field("hwnd");
    }

    // A value of the helper's record; empty while it is not written.
    std::string Field(const std::string& name) {
        return paltest::ReadRecord(record_)[name];
    }

    // Runs the tool with the arguments (given to the shell as they stand) in the folder.
    ToolRun Tool(const std::string& arguments, const std::string& folder = "/") {
        std::string errFile = root_.Path() + "/tool.err";
        std::string command = "cd '" + folder + "' && " + std::string(BR_BIN_DIR) + "/paldesk " +
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

TEST_F(ControlSocketTest, TheToolReadsWhatAReaderReportsAndSaysWhenThereIsNone) {
    ToolRun menu = ToHelper("menu");
    EXPECT_EQ(menu.exitCode, 0) << menu.err;
    EXPECT_EQ(menu.out, "menu hwnd=" + hwnd_ + " rect=120,130,220,170 items=2\n"
                        "item id=7 text=\"打开 \\\"list\\\"\" rect=120,130,220,150 flags=0x0 "
                        "highlighted=1\n"
                        "item id=0 text=\"\" rect=120,150,220,154 flags=0x800 highlighted=0\n");
    ToolRun tray = ToHelper("tray");
    EXPECT_EQ(tray.exitCode, 1);
    EXPECT_EQ(tray.out, "");
    EXPECT_EQ(tray.err, "paldesk: process " + pid_ +
                            ": nothing here reports notification-area icons\n");
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
              "process pid=" + pid_ + " program=\"pal_control_helper\"\nOK\n"
              "ERR unknown request \"fly\"\nERR empty request\nERR usage: windows\n");
    EXPECT_EQ(RawExchange(socket, std::string("ping\0\n", 6)),
              "ERR the request holds a control character\n");
    // A request without an end is cut off at the limit, and its connection closed.
    EXPECT_EQ(RawExchange(socket, std::string(5000, 'x')),
              "ERR request longer than 4096 bytes\n");
    EXPECT_EQ(RawExchange(socket, std::string(100, '\xff') + "\n"),
              "ERR unknown request \"" + std::string(100, '\xff') + "\"\n");
    ToolRun after = ToHelper("ping");
    EXPECT_EQ(after.exitCode, 0) << after.err;
}

}  // namespace
