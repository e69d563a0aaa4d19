// The README's main job: the host program brmusic, run in a fresh runtime root as a newcomer
// runs it, plays the demo track end to end and exits 0, leaving no service behind. A second
// host beside a running one leaves that one's service alone; and the service a host starts
// does not hold the host's output.
#include <sys/wait.h>

#include "road_support.h"

namespace proxytest {
namespace {

TEST_F(RoadTest, HostProgramPlaysTheDemoTrackToTheEnd) {
    int status = -1;
    const std::string output = RunProgram(BR_BIN_DIR "/brmusic", 40000, &status).output;
    ASSERT_TRUE(WIFEXITED(status)) << output;
    EXPECT_EQ(WEXITSTATUS(status), 0) << output;

    // Every step in order, each notification as it came.
    const char* const steps[] = {"initialising the proxy",
                                 "service running",
                                 "opening ",
                                 "duration 6.00 s",
                                 "play",
                                 "notification NotifyPlayStart",
                                 "pause",
                                 "notification NotifyPlayPause(1)",
                                 "resume",
                                 "notification NotifyPlayResume",
                                 "seek to 4.00 s",
                                 "notification NotifyPlayEnd",
                                 "stopping the service",
                                 "done"};
    size_t at = 0;
    for (const char* step : steps) {
        const size_t found = output.find(std::string("] ") + step, at);
        ASSERT_NE(found, std::string::npos) << "missing after offset " << at << ": " << step << "\n"
                                            << output;
        at = found + 1;
    }
    int positions = 0;
    for (size_t p = output.find("] position "); p != std::string::npos;
         p = output.find("] position ", p + 1)) {
        ++positions;
    }
    EXPECT_GE(positions, 5) << output;
    EXPECT_EQ(output.find("FAILED"), std::string::npos) << output;
    EXPECT_TRUE(WaitForNoService());
}

// A second host in the same runtime root cannot take the proxy's endpoint: its InitProxy fails
// and it ends at once, and the first host's service plays on untouched. The second host used to
// start a service of its own, which ended the first one's, and the first one's track dropped
// without a word.
TEST_F(RoadTest, ASecondHostLeavesTheFirstHostsServiceAlone) {
    RecordingReceiver receiver(journal_);
    ASSERT_TRUE(InitProxy());
    ASSERT_TRUE(WaitForService());
    IPlayerCore* player = GetPlayerCoreProxy();
    ASSERT_TRUE(StartPlaying(player, &receiver));
    const std::vector<DWORD> service = ServiceProcesses();
    ASSERT_EQ(service.size(), 1u);

    int status = -1;
    const ProgramRun second = RunProgram(BR_BIN_DIR "/brmusic", 30000, &status);
    ASSERT_TRUE(WIFEXITED(status)) << second.output;
    EXPECT_EQ(WEXITSTATUS(status), 1) << second.output;
    EXPECT_NE(second.output.find("FAILED: the proxy takes its endpoint"), std::string::npos)
        << second.output;

    EXPECT_EQ(ServiceProcesses(), service);
    IPlayObject* object = nullptr;
    ASSERT_EQ(player->GetPlayObject(&object), 0);
    EXPECT_EQ(object->GetState(), 3);  // still playing
    EXPECT_EQ(journal_.Lines(), std::vector<std::string>{"PlayStart"});
    EXPECT_TRUE(StopCoreServer());
    EXPECT_TRUE(UnInitProxy());
}

// A parent that reads a host's output to its end is not held by the service the host started:
// the service's standard streams are not the host's. It used to hold them until it ended.
TEST_F(RoadTest, TheServiceDoesNotHoldItsHostsOutput) {
    int status = -1;
    const ProgramRun host = RunProgram(BR_TEST_BIN_DIR "/proxy_start_host_helper", 15000, &status);
    EXPECT_TRUE(host.outputEnded) << "the output stayed open after the host ended";
    ASSERT_TRUE(WIFEXITED(status)) << host.output;
    EXPECT_EQ(WEXITSTATUS(status), 0) << host.output;
    EXPECT_NE(host.output.find("service running"), std::string::npos) << host.output;
    EXPECT_EQ(ServiceProcesses().size(), 1u);  // it runs on
}

}  // namespace
}  // namespace proxytest
