// The playback road's costs, as a host sees them, each beside its bare message-center yardstick
// measured in the same run, the same runtime root and between the same kinds of processes:
//
// - round trips of player commands from the host through libBrServiceProxy.so's exports to the
//   real service and its engine and back: QueryStatus (an int reply), SetVolume (an int
//   argument), GetPlayObject (the play-object snapshot reply, read into the cache);
//   yardstick: the bare round trip, a 16-byte call answered with 4 bytes through
//   CMsgCenter::SendMsg via the worker (SERVICE_CALL_TIMEOUT) to a peer process;
// - the rate at which the engine's notifications reach the host's IMediaCallback receiver;
//   yardstick: the bare acknowledged-message rate, a peer process sending 4-byte messages back
//   to back with SendMsgNoReply (INFINITE) to a message center in this process, which is how
//   the service sends every notification;
// - the time from the service's death (SIGKILL) to the sinks' OnServiceLost and
//   OnServiceRunning, with the kill placed at a random point between two watchdog polls.
//
// How the notification rate is measured. The engine raises notifications only for what
// happens to its item; the only ones a host can cause at will and without end are
// NotifyPlayPause and NotifyPlayResume, one for each Pause of a playing item and each Play of a
// paused one (a long silent WAV file written here). Were they timed while the commands that
// cause them run, the rate would be that of the commands, not of the delivery. So each round
// first makes the engine's delivery wait: the receiver holds the first notification of the
// round inside its callback (the engine's thread, which delivers one notification at a time,
// waits in its synchronous send meanwhile), while the host toggles Pause and Play kBurst more
// times, each toggle queueing one more notification in the engine. Then the receiver lets go
// and counts: the rate is kBurst divided by the time from the release to the arrival of the
// last one, with nothing else running on the road. The bare rate is timed the same way, from
// the arrival of the burst's first message to that of its last.
//
// The peer process runs as a copy of this program named "brmusic": the service's client watch
// sees a client program and never stops playback under the benchmark.
//
// Each round trip is timed on its own (median and 99th percentile, in microseconds), each
// rate once per burst (median and the slowest 1 %, in messages per second), the recovery per
// kill (median, minimum, maximum, in milliseconds). A summary table with the ratios to the
// yardsticks follows the benchmark output.
//
//   taskset -c 2,3 build/bench-bin/proxy_bench
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "br_service_proxy.h"
#include "msg_center.h"
#include "player_protocol.h"
#include "process_list.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWarmUp = 500;
constexpr int kIterations = 10000;
constexpr int kRecoveries = 6;
// Notifications (and bare messages) per burst, and bursts per rate.
constexpr int kBurst = 2000;
constexpr int kBursts = 15;
constexpr auto kBurstWait = std::chrono::seconds(30);
// The message center pair of the yardsticks, beside the proxy's (4098) and the service's
// (4097) in the same call center.
constexpr int kPeerEndpoint = 0x1101;
constexpr int kBenchEndpoint = 0x1102;
constexpr int kRequestSize = 16;
constexpr int kReplySize = 4;
// The engine's state while it plays, which QueryStatus answers; 1 would be the failure value.
constexpr int kEnginePlaying = 3;
// The silent track: long enough never to end under the benchmark.
constexpr uint32_t kTrackSeconds = 3600;
constexpr uint32_t kTrackRate = 8000;

// ---- The peer process ----

class CAnswerCenter : public CMsgCenter {
public:
    HRESULT OnMessage(ICallMessage* message) override {
        CallMsgRecord* record = nullptr;
        if (!message || message->GetRecord(&record) != S_OK || !record) {
            return E_FAIL;
        }
        if (void* buffer = AllocReply(kReplySize)) {
            std::memset(buffer, 1, kReplySize);
            *record->replyOut = buffer;
            *record->replyLengthOut = kReplySize;
        }
        return S_OK;
    }
};

// Answers calls until its standard input ends; for each 'b' read there, sends a burst of
// kBurst + 1 acknowledged messages to the benchmark's endpoint, one after the other, as the
// service sends its notifications.
int RunPeer() {
    auto* center = new CAnswerCenter;
    if (!center->Init(kPeerEndpoint)) {
        std::puts("failed");
        return 3;
    }
    std::puts("ready");
    std::fflush(stdout);
    const uint8_t message[4] = {PLAYER_NOTIFY_PLAY_RESUME, 0, 0, 0};
    char byte;
    while (read(0, &byte, 1) > 0) {
        for (int i = 0; byte == 'b' && i <= kBurst; ++i) {
            center->SendMsgNoReply(kBenchEndpoint, 0, CHANNEL_PLAYER, message, sizeof message,
                                   INFINITE);
        }
    }
    center->UnInit();
    delete center;
    return 0;
}

struct Peer {
    pid_t pid = -1;
    int input = -1;
};

// Starts the peer as the copy folder/brmusic of this program.
Peer StartPeer(const std::string& folder) {
    Peer peer;
    const std::string copy = folder + "/brmusic";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::copy_file("/proc/self/exe", copy, error) ||
        chmod(copy.c_str(), 0700) != 0) {
        return peer;
    }
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
        return peer;
    }
    std::string mode = "--peer";
    char* argv[] = {const_cast<char*>(copy.c_str()), mode.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    const int rc = posix_spawn(&peer.pid, copy.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    char line[16] = {};
    pollfd p = {out[0], POLLIN, 0};
    if (rc != 0 || poll(&p, 1, 10000) <= 0 || read(out[0], line, sizeof line - 1) <= 0 ||
        std::strncmp(line, "ready", 5) != 0) {
        if (rc == 0) {
            kill(peer.pid, SIGKILL);
            waitpid(peer.pid, nullptr, 0);
        }
        peer.pid = -1;
    }
    close(out[0]);
    peer.input = in[1];
    return peer;
}

// ---- Bursts ----

// The arrivals of one burst: the time of the first and of the last.
class CBurst {
public:
    // The next `count` arrivals make the burst; earlier ones are forgotten.
    void Expect(int count) {
        std::lock_guard<std::mutex> hold(lock_);
        expected_ = count;
        seen_ = 0;
    }
    void Arrive() {
        const auto now = Clock::now();
        std::lock_guard<std::mutex> hold(lock_);
        if (seen_ >= expected_) {
            return;
        }
        if (seen_ == 0) {
            first_ = now;
        }
        if (++seen_ == expected_) {
            last_ = now;
            done_.notify_all();
        }
    }
    // Waits for the burst's last arrival; the seconds from its first, or a negative value when
    // the burst did not complete in time.
    double Wait() {
        std::unique_lock<std::mutex> hold(lock_);
        if (!done_.wait_for(hold, kBurstWait, [this] { return seen_ >= expected_; })) {
            return -1;
        }
        return std::chrono::duration<double>(last_ - first_).count();
    }

private:
    std::mutex lock_;
    std::condition_variable done_;
    int expected_ = 0;
    int seen_ = 0;
    Clock::time_point first_, last_;
};

CBurst g_burst;

// The yardstick's receiving end: every message that reaches it arrives in the burst.
class CCountingCenter : public CMsgCenter {
public:
    HRESULT OnMessage(ICallMessage*) override {
        g_burst.Arrive();
        return S_OK;
    }
};

// The host's player receiver. Every notification arrives in the burst; after Hold(), the next
// one is kept inside its callback until Release(), and arrives when it is let go.
class CHoldingReceiver final : public IMediaCallback {
public:
    void Hold() {
        std::lock_guard<std::mutex> hold(lock_);
        holding_ = true;
        held_ = false;
    }
    bool WaitHeld() {
        std::unique_lock<std::mutex> hold(lock_);
        return changed_.wait_for(hold, std::chrono::seconds(5), [this] { return held_; });
    }
    void Release() {
        std::lock_guard<std::mutex> hold(lock_);
        holding_ = false;
        changed_.notify_all();
    }
    int Heard() const { return heard_.load(); }

    void NotifyPlayStart() override { Note(); }
    void NotifyPlayPause(int) override { Note(); }
    void NotifyPlayResume() override { Note(); }
    void NotifyPlayStop() override { Note(); }
    void NotifyPlayEnd() override { Note(); }
    void NotifyPlayFail(int) override { Note(); }
    void NotifyPlayStatus(int) override { Note(); }
    void NotifyDownloadStart() override { Note(); }
    void NotifyDownloadEnd() override { Note(); }
    void NotifyDownloadFail(int) override { Note(); }
    void NotifySigChange(Sign, Sign, const char*) override { Note(); }
    void NotifyPlayerDead() override { Note(); }
    void NotifyDecoderMissing() override { Note(); }
    void NotifySongSwitch() override { Note(); }
    void NotifyMvCanSeek() override { Note(); }
    void NotifyNetBufferProgress(int) override { Note(); }
    void NotifyMvNeedAd() override { Note(); }
    void NotifyMvBlocked() override { Note(); }
    void NotifySongStall() override { Note(); }

private:
    void Note() {
        {
            std::unique_lock<std::mutex> hold(lock_);
            if (holding_ && !held_) {
                held_ = true;
                changed_.notify_all();
                changed_.wait(hold, [this] { return !holding_; });
            }
        }
        ++heard_;
        g_burst.Arrive();
    }

    std::mutex lock_;
    std::condition_variable changed_;
    bool holding_ = false;
    bool held_ = false;
    std::atomic<int> heard_{0};
};

// ---- The service's process and the sinks ----

std::vector<DWORD> ServiceProcesses() {
    return brtest::ProcessesNamed("BrCoreService.exe");
}

using brtest::KillProcess;

// Records when it last heard each notification.
class CTimingSink final : public IServiceNotify {
public:
    void OnServiceLost() override { lost_ = Now(); }
    void OnServiceRunning() override { running_ = Now(); }
    void Clear() { lost_ = running_ = 0; }
    int64_t Lost() const { return lost_; }
    int64_t Running() const { return running_; }
    static int64_t Now() {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   Clock::now().time_since_epoch())
            .count();
    }

private:
    std::atomic<int64_t> lost_{0}, running_{0};
};

// A PCM WAV header (8000 Hz, mono, 8-bit) and kTrackSeconds of silence, which the file system
// keeps as a hole.
bool WriteSilentTrack(const std::string& path) {
    const uint32_t data = kTrackRate * kTrackSeconds;
    const uint32_t header[] = {0x46464952, 36 + data,  0x45564157, 0x20746D66, 16,  0x00010001,
                               kTrackRate, kTrackRate, 0x00080001, 0x61746164, data};
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(header), sizeof header);
        if (!out.flush()) {
            return false;
        }
    }
    std::error_code error;
    std::filesystem::resize_file(path, sizeof header + data, error);
    return !error;
}

// ---- Figures ----

struct Figures {
    double median = 0, tail = 0, low = 0, high = 0;
    std::string unit;
    std::string yardstick;  // the measure whose median this one's is compared with
};
std::map<std::string, Figures> g_figures;
std::vector<std::string> g_order;

double Percentile(const std::vector<double>& sorted, double fraction) {
    size_t index = static_cast<size_t>(fraction * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(index, sorted.size() - 1)];
}

// The tail is the worst 1 %: the slowest round trips, the lowest rates.
void Record(benchmark::State& state, const std::string& name, std::vector<double> samples,
            const char* unit, const std::string& yardstick = "", bool rate = false) {
    std::sort(samples.begin(), samples.end());
    Figures f{Percentile(samples, 0.5),
              Percentile(samples, rate ? 0.01 : 0.99),
              samples.front(),
              samples.back(),
              unit,
              yardstick};
    state.counters["median"] = f.median;
    state.counters[rate ? "p1" : "p99"] = f.tail;
    const auto bare = g_figures.find(yardstick);
    if (bare != g_figures.end()) {
        state.counters["median_x_" + yardstick] = f.median / bare->second.median;
    }
    if (!g_figures.count(name)) {
        g_order.push_back(name);
    }
    g_figures[name] = f;
}

CCountingCenter* g_center = nullptr;
int g_peerInput = -1;
IPlayerCore* g_player = nullptr;
CHoldingReceiver g_receiver;
CTimingSink g_sink;
Clock::time_point g_initTime;

// One round trip per iteration, timed on its own.
template <typename RoundTrip>
void Measure(benchmark::State& state, const char* name, const char* yardstick,
             RoundTrip roundTrip) {
    for (int i = 0; i < kWarmUp; ++i) {
        if (!roundTrip()) {
            state.SkipWithError("round trip failed");
            return;
        }
    }
    std::vector<double> samples;
    samples.reserve(kIterations);
    for (auto _ : state) {
        const auto start = Clock::now();
        const bool ok = roundTrip();
        const double took = std::chrono::duration<double>(Clock::now() - start).count();
        if (!ok) {
            state.SkipWithError("round trip failed");
            return;
        }
        state.SetIterationTime(took);
        samples.push_back(took * 1e6);
    }
    Record(state, name, std::move(samples), "us", yardstick);
}

// One burst per iteration: setUp makes the burst ready and returns false on failure, then
// kBurst arrivals after the first are timed.
template <typename SetUp>
void MeasureRate(benchmark::State& state, const char* name, const char* yardstick, SetUp setUp) {
    std::vector<double> rates;
    for (auto _ : state) {
        g_burst.Expect(kBurst + 1);
        if (!setUp()) {
            state.SkipWithError("the burst could not be started");
            return;
        }
        const double took = g_burst.Wait();
        if (took <= 0) {
            state.SkipWithError("the burst did not arrive whole");
            return;
        }
        state.SetIterationTime(took);
        rates.push_back(kBurst / took);
    }
    state.SetItemsProcessed(state.iterations() * kBurst);
    Record(state, name, std::move(rates), "msg/s", yardstick, true);
}

void BM_MsgCenterRoundTrip(benchmark::State& state) {
    static uint8_t request[kRequestSize] = {};
    Measure(state, "msgcenter", "", [] {
        void* reply = nullptr;
        int length = 0;
        const int hr = g_center->SendMsg(kPeerEndpoint, 0, CHANNEL_PLAYER, request, sizeof request,
                                         &reply, &length, SERVICE_CALL_TIMEOUT);
        g_center->FreeReply(reply);
        return hr == S_OK && length == kReplySize;
    });
}

void BM_AckedMessageRate(benchmark::State& state) {
    MeasureRate(state, "acked", "", [] { return write(g_peerInput, "b", 1) == 1; });
}

void BM_PlayerQueryStatus(benchmark::State& state) {
    Measure(state, "QueryStatus", "msgcenter",
            [] { return g_player->QueryStatus() == kEnginePlaying; });
}

void BM_PlayerSetVolume(benchmark::State& state) {
    int volume = 0;
    Measure(state, "SetVolume", "msgcenter",
            [&] { return g_player->SetVolume(volume++ % 100) == 0; });
}

void BM_PlayerGetPlayObject(benchmark::State& state) {
    Measure(state, "GetPlayObject", "msgcenter", [] {
        IPlayObject* object = nullptr;
        return g_player->GetPlayObject(&object) == 0;
    });
}

// Each Pause of the playing item, and each Play of the paused one, queues one notification.
bool Toggle(bool& playing) {
    const int result = playing ? g_player->Pause() : g_player->Play();
    playing = !playing;
    return result == 0;
}

void BM_PlayerNotificationRate(benchmark::State& state) {
    bool playing = true;
    MeasureRate(state, "notifications", "acked", [&] {
        g_receiver.Hold();
        bool ok = Toggle(playing) && g_receiver.WaitHeld();
        for (int i = 0; ok && i < kBurst; ++i) {
            ok = Toggle(playing);
        }
        g_receiver.Release();
        return ok;
    });
}

// Kills the service at a random point between two polls and waits for the sinks.
void BM_ServiceRecovery(benchmark::State& state) {
    std::this_thread::sleep_until(g_initTime + std::chrono::seconds(12));  // the first poll
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> phase(0, 1999);
    std::vector<double> lost, running;
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::milliseconds(phase(random)));
        const std::vector<DWORD> service = ServiceProcesses();
        g_sink.Clear();
        const int64_t killed = CTimingSink::Now();
        if (service.size() != 1 || !KillProcess(service[0])) {
            state.SkipWithError("no single service process to kill");
            return;
        }
        const auto deadline = Clock::now() + std::chrono::seconds(15);
        while (g_sink.Running() == 0 && Clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (g_sink.Running() == 0) {
            state.SkipWithError("the sinks never heard OnServiceRunning");
            return;
        }
        state.SetIterationTime(static_cast<double>(g_sink.Running() - killed) / 1e6);
        lost.push_back(static_cast<double>(g_sink.Lost() - killed) / 1e3);
        running.push_back(static_cast<double>(g_sink.Running() - killed) / 1e3);
    }
    Record(state, "death_to_OnServiceLost", std::move(lost), "ms");
    Record(state, "death_to_OnServiceRunning", std::move(running), "ms");
}

// The yardsticks first: the ratios of the others refer to them. The recovery last: it
// replaces the service and its engine.
BENCHMARK(BM_MsgCenterRoundTrip)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AckedMessageRate)->UseManualTime()->Iterations(kBursts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayerQueryStatus)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlayerSetVolume)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlayerGetPlayObject)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlayerNotificationRate)
    ->UseManualTime()
    ->Iterations(kBursts)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ServiceRecovery)
    ->UseManualTime()
    ->Iterations(kRecoveries)
    ->Unit(benchmark::kMillisecond);

void PrintSummary() {
    std::printf("\n%-26s %11s %11s %11s %11s %6s  %s\n", "measure", "median", "worst 1%", "min",
                "max", "unit", "median / yardstick");
    for (const std::string& name : g_order) {
        const Figures& f = g_figures[name];
        std::printf("%-26s %11.2f %11.2f %11.2f %11.2f %6s", name.c_str(), f.median, f.tail, f.low,
                    f.high, f.unit.c_str());
        const auto bare = g_figures.find(f.yardstick);
        if (bare != g_figures.end()) {
            std::printf("  %.2f x %s", f.median / bare->second.median, f.yardstick.c_str());
        }
        std::printf("\n");
    }
    const auto ratio = [](const char* name, const char* yardstick) {
        const auto a = g_figures.find(name), b = g_figures.find(yardstick);
        return a != g_figures.end() && b != g_figures.end() ? a->second.median / b->second.median
                                                            : 0.0;
    };
    std::printf(
        "\ntargets: QueryStatus at most 3 x msgcenter: %.2f; notifications at least "
        "0.7 x acked: %.2f\n",
        ratio("QueryStatus", "msgcenter"), ratio("notifications", "acked"));
}

bool WaitForService() {
    for (int i = 0; i < 100; ++i) {
        if (IsRunCoreServer()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// The host's receiver registered, the silent track open and playing.
bool StartPlaying(const std::string& track) {
    g_player->Init(&g_receiver, 0, 0, 0);
    PlayRequest request;
    std::strncpy(request.itemText1, track.c_str(), sizeof request.itemText1 - 1);
    if (g_player->Open(&request) != 0 || g_player->Play() != 0) {
        return false;
    }
    for (int i = 0; i < 500 && g_receiver.Heard() == 0; ++i) {  // NotifyPlayStart
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return g_receiver.Heard() > 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--peer") == 0) {
        return RunPeer();
    }
    benchmark::Initialize(&argc, argv);

    // A runtime root and log folder of our own: no real installation is reached.
    char rootTemplate[] = "/tmp/proxy-bench-XXXXXX";
    if (!mkdtemp(rootTemplate)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string root = rootTemplate;
    setenv("PAL_RUNTIME_DIR", (root + "/runtime").c_str(), 1);
    setenv("BRLOG_DIR", (root + "/log").c_str(), 1);

    int status = 1;
    Peer peer = StartPeer(root + "/programs");
    CCountingCenter center;
    g_initTime = Clock::now();
    InitProxy();  // starts the service from the install folder
    if (peer.pid < 0 || !center.Init(kBenchEndpoint)) {
        std::fprintf(stderr, "the peer did not start, or no endpoint\n");
    } else if (!WaitForService() || (g_player = GetPlayerCoreProxy()) == nullptr) {
        std::fprintf(stderr, "the service did not answer\n");
    } else if (!WriteSilentTrack(root + "/silence.wav") || !StartPlaying(root + "/silence.wav")) {
        std::fprintf(stderr, "the engine did not play the track\n");
    } else {
        g_center = &center;
        g_peerInput = peer.input;
        RegistNotify(&g_sink);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        UnRegistNotify(&g_sink);
        PrintSummary();
        status = 0;
    }
    if (g_player != nullptr) {
        g_player->UnInit();
    }
    StopCoreServer();
    UnInitProxy();
    center.UnInit();
    if (peer.pid > 0) {
        close(peer.input);
        waitpid(peer.pid, nullptr, 0);
    }
    for (DWORD pid : ServiceProcesses()) {
        KillProcess(pid);  // one the stop could not reach
    }
    std::filesystem::remove_all(root);
    return status;
}
