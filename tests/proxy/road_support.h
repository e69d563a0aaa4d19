// Test support for the playback road: the real proxy library, the real service and the real
// engine in the test's own runtime root. Each test's processes are found by the root's process
// snapshot and are all ended when the test ends.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "br_service_proxy.h"
#include "process_list.h"
#include "test_root.h"

namespace proxytest {

using Clock = std::chrono::steady_clock;

using brtest::KillProcess;
using brtest::ProcessesNamed;
std::vector<DWORD> ServiceProcesses();  // "BrCoreService.exe"
// Ends every process of the root but this one and waits for each to be gone.
void KillRootProcesses();
bool IsRunning(DWORD pid);

// Starts a copy of the sleeper helper named name (a folder of the root holds the copies), so
// the root's snapshot reports it under that name; it dies with this process at the latest.
pid_t StartSleeperNamed(const std::string& name);

// Runs a program of this root to its exit (at most timeoutMs, then it is killed), with its
// standard output and error on one pipe; its exit status goes to *status. The output is read
// until its end, also after the exit, while the time lasts: a process the program started
// that still holds the pipe keeps it open.
struct ProgramRun {
    std::string output;
    bool outputEnded = false;  // the pipe reached its end within the time
};
ProgramRun RunProgram(const std::string& path, int timeoutMs, int* status);

// Polls IsRunCoreServer every 100 ms; false after timeoutMs.
bool WaitForService(int timeoutMs = 10000);
// Polls until the root has no service process; false after timeoutMs.
bool WaitForNoService(int timeoutMs = 5000);

// A journal of calls from any thread, one text per call.
class Journal {
public:
    void Add(const std::string& line);
    std::vector<std::string> Lines();
    int Count(const std::string& line);
    // Waits until line has been added count times; false after timeoutMs.
    bool WaitFor(const std::string& line, int count, int timeoutMs);

private:
    std::mutex mutex_;
    std::condition_variable added_;
    std::vector<std::string> lines_;
};

// Writes "<name>.Lost" and "<name>.Running".
class RecordingSink : public IServiceNotify {
public:
    RecordingSink(Journal& journal, std::string name) : journal_(journal), name_(std::move(name)) {}
    void OnServiceLost() override;
    void OnServiceRunning() override;

protected:
    Journal& journal_;
    const std::string name_;
};

// Writes the player notifications: "PlayStart", "PlayFail(-1)", ...
class RecordingReceiver final : public IMediaCallback {
public:
    explicit RecordingReceiver(Journal& journal) : journal_(journal) {}
    void NotifyPlayStart() override { journal_.Add("PlayStart"); }
    void NotifyPlayPause(int flag) override { Add("PlayPause", flag); }
    void NotifyPlayResume() override { journal_.Add("PlayResume"); }
    void NotifyPlayStop() override { journal_.Add("PlayStop"); }
    void NotifyPlayEnd() override { journal_.Add("PlayEnd"); }
    void NotifyPlayFail(int code) override { Add("PlayFail", code); }
    void NotifyPlayStatus(int status) override { Add("PlayStatus", status); }
    void NotifyDownloadStart() override { journal_.Add("DownloadStart"); }
    void NotifyDownloadEnd() override { journal_.Add("DownloadEnd"); }
    void NotifyDownloadFail(int code) override { Add("DownloadFail", code); }
    void NotifySigChange(Sign, Sign, const char*) override { journal_.Add("SigChange"); }
    void NotifyPlayerDead() override { journal_.Add("PlayerDead"); }
    void NotifyDecoderMissing() override { journal_.Add("DecoderMissing"); }
    void NotifySongSwitch() override { journal_.Add("SongSwitch"); }
    void NotifyMvCanSeek() override { journal_.Add("MvCanSeek"); }
    void NotifyNetBufferProgress(int progress) override { Add("NetBufferProgress", progress); }
    void NotifyMvNeedAd() override { journal_.Add("MvNeedAd"); }
    void NotifyMvBlocked() override { journal_.Add("MvBlocked"); }
    void NotifySongStall() override { journal_.Add("SongStall"); }

private:
    void Add(const char* name, int value) {
        journal_.Add(std::string(name) + "(" + std::to_string(value) + ")");
    }
    Journal& journal_;
};

// The demo track of the installation: 6 s of a tone, 44.1 kHz stereo FLAC.
std::string DemoTrack();
constexpr int DEMO_TRACK_MS = 6000;

// A fixture with its own runtime root, a client stand-in named "brmusic.exe" (so the service's
// client watch never stops playback), and every process of the root ended at its end.
class RoadTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The proxy's log: lines that end with "<function>: <message>", and all of it.
    int LogCount(const std::string& function, const std::string& message);
    std::string Log();

    // Init with the receiver, Open the demo track, Play; true after NotifyPlayStart, with the
    // play object's state refreshed (3).
    bool StartPlaying(IPlayerCore* player, IMediaCallback* receiver);

    brtest::ScopedTestRoot root_;
    Journal journal_;
};

}  // namespace proxytest
