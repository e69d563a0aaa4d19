// The program BRDJ as it runs from an installation: it creates the Flash control from its
// template and plays the local movie on it until it is closed from outside; without the Flash
// control's registration or library it ends without showing a window or a message; a second
// start ends at once while the first runs on, and a start after the first has ended runs.
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <string>

#include "program_run.h"
#include "test_root.h"
#include "wait_until.h"
#include "windows.h"

namespace {

using apptest::Installation;
using apptest::ProgramInstall;
using apptest::ProgramRun;

constexpr char kMovie[] =
    "brdj-movie 1\n"
    "call <invoke name=\"StartUp\" returntype=\"xml\"><arguments></arguments></invoke>\n"
    "wait 30\n"
    "poll 20 200 <true/> | <invoke name=\"Ready\" returntype=\"xml\"><arguments></arguments>"
    "</invoke>\n"
    "call <invoke name=\"AfterPoll\" returntype=\"xml\"><arguments></arguments></invoke>\n"
    "label 20 20 Start-up test movie\n"
    "button 20 60 120 30 Press | <invoke name=\"Pressed\" returntype=\"xml\"><arguments>"
    "</arguments></invoke>\n";
constexpr char kMessageBox[] = "MessageBox [";

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

class ProgramTest : public ::testing::Test {
protected:
    ProgramInstall Install(const Installation& installation) {
        return ProgramInstall(root_.Path(), installation);
    }
    // Waits until the movie's last call is in the transcript `times` times.
    bool MoviePlayed(const ProgramInstall& install, int times = 1) {
        return brtest::WaitUntil(
            [&] { return Count(install.Transcript(), "\"AfterPoll\"") >= times; },
            std::chrono::seconds(20));
    }
    static HWND MainWindow() { return FindWindowA(nullptr, "BrindoDJ"); }

    brtest::ScopedTestRoot root_;
};

TEST_F(ProgramTest, ItPlaysTheLocalMovieInTheControlUntilItIsClosedFromOutside) {
    const struct {
        const char* name;
        std::function<void(ProgramRun&)> close;
    } cases[] = {
        {"WM_CLOSE to its window",
         [](ProgramRun&) {
             HWND window = MainWindow();
             ASSERT_NE(window, nullptr);
             ASSERT_TRUE(PostMessageA(window, WM_CLOSE, 0, 0));
         }},
        {"SIGTERM", [](ProgramRun& run) { run.Signal(SIGTERM); }},
        {"SIGINT (Ctrl+C in its terminal)", [](ProgramRun& run) { run.Signal(SIGINT); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        brtest::ScopedTestRoot root;
        ProgramInstall install(root.Path(), {true, true, kMovie});
        ProgramRun run(install, "run");
        ASSERT_TRUE(run.Started());
        ASSERT_TRUE(MoviePlayed(install)) << install.Transcript() << run.Errors();

        const std::string transcript = install.Transcript();
        EXPECT_NE(transcript.find("# movie " + install.Folder() + "/loadingVer.swf loaded"),
                  std::string::npos)
            << transcript;
        size_t start = transcript.find("\"StartUp\"");
        size_t ready = transcript.find("\"Ready\"");
        size_t after = transcript.find("\"AfterPoll\"");
        EXPECT_LT(start, ready);
        EXPECT_LT(ready, after);
        EXPECT_GE(Count(transcript, "\"Ready\""), 2) << "polled until its limit";
        EXPECT_EQ(Count(transcript, "-> no reply"), Count(transcript, "<invoke"))
            << "the main window answers no call it does not know";

        c.close(run);
        EXPECT_EQ(run.Wait(10000), 0);
        EXPECT_EQ(run.Errors().find(kMessageBox), std::string::npos) << run.Errors();
    }
}

TEST_F(ProgramTest, WithoutTheFlashControlItEndsWithoutAWindowOrAMessage) {
    const struct {
        const char* name;
        Installation installation;
    } cases[] = {
        {"not registered", {false, true, kMovie}},
        {"library missing", {true, false, kMovie}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        brtest::ScopedTestRoot root;
        ProgramInstall install(root.Path(), c.installation);
        ProgramRun run(install, "run");
        ASSERT_TRUE(run.Started());
        EXPECT_EQ(run.Wait(10000), 0);
        EXPECT_EQ(install.Transcript(), "") << "the control never played";
        EXPECT_EQ(run.Errors().find(kMessageBox), std::string::npos) << run.Errors();
    }
}

TEST_F(ProgramTest, ASecondStartEndsAtOnceAndAStartAfterTheFirstHasEndedRuns) {
    ProgramInstall install = Install({true, true, kMovie});
    ProgramRun first(install, "first");
    ASSERT_TRUE(MoviePlayed(install));

    ProgramRun second(install, "second");
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.Wait(10000), 0);
    EXPECT_EQ(second.Errors().find(kMessageBox), std::string::npos) << second.Errors();
    EXPECT_EQ(Count(install.Transcript(), " loaded"), 1) << "the second start loaded no movie";
    EXPECT_EQ(first.Wait(0), -1) << "the first runs on";

    HWND window = MainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(PostMessageA(window, WM_CLOSE, 0, 0));
    EXPECT_EQ(first.Wait(10000), 0);

    ProgramRun third(install, "third");
    EXPECT_TRUE(MoviePlayed(install, 2)) << install.Transcript();
    window = MainWindow();
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(third.Wait(10000), 0);
}

}  // namespace
