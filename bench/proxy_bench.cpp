// The playback road's costs, as a host sees them:
// - a player command (SetVolume, and GetPlayObject with its play-object snapshot) from the
//   host through libBrServiceProxy.so's exports to the real service and its engine and back;
// - beside it, in the same run and the same runtime root, the bare message-center round trip:
//   a 16-byte call answered with 4 bytes through CMsgCenter::SendMsg via the worker
//   (SERVICE_CALL_TIMEOUT) to a peer process (this program with --peer), as msgcenter_bench;
// - the time from the service's death (SIGKILL) to the sinks' OnServiceLost and
//   OnServiceRunning, with the kill placed at a random point between two watchdog polls.
//
// Each iteration is timed on its own; the round trips report the median and the 99th
// percentile in microseconds and their ratio to the bare message-center round trip, the
// recovery the median, minimum and maximum in milliseconds. A summary table follows.
//
//   taskset -c 2,3 build/bench-bin/proxy_bench
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "br_service_proxy.h"
#include "msg_center.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWarmUp = 500;
constexpr int kIterations = 10000;
constexpr int kRecoveries = 6;
// The message center pair of the bare round trip, beside the proxy's (4098) and the service's
// (4097) in the same call center.
constexpr int kPeerEndpoint = 0x1101;
constexpr int kBenchEndpoint = 0x1102;
constexpr int kRequestSize = 16;
constexpr int kReplySize = 4;

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

// Serves until its standard input ends.
int RunPeer() {
    auto* center = new CAnswerCenter;
    if (!center->Init(kPeerEndpoint)) {
        std::puts("failed");
        return 3;
    }
    std::puts("ready");
    std::fflush(stdout);
    char byte;
    while (read(0, &byte, 1) > 0) {
    }
    center->UnInit();
    delete center;
    return 0;
}

struct Peer {
    pid_t pid = -1;
    int input = -1;
};

Peer StartPeer() {
    Peer peer;
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
        return peer;
    }
    std::string self = "/proc/self/exe", mode = "--peer";
    char* argv[] = {self.data(), mode.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    const int rc = posix_spawn(&peer.pid, self.c_str(), &actions, nullptr, argv, environ);
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

// ---- The service's process and the sinks ----

std::vector<DWORD> ServiceProcesses() {
    std::vector<DWORD> pids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (std::strcmp(entry.szExeFile, "BrCoreService.exe") == 0) {
            pids.push_back(entry.th32ProcessID);
        }
    }
    CloseHandle(snapshot);
    return pids;
}

bool KillProcess(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (process == nullptr) {
        return false;
    }
    const bool ended = TerminateProcess(process, 0) && WaitForSingleObject(process, 5000) == 0;
    CloseHandle(process);
    return ended;
}

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

// ---- Figures ----

struct Figures {
    double median = 0, p99 = 0, low = 0, high = 0;
    const char* unit = "us";
};
std::map<std::string, Figures> g_figures;
std::vector<std::string> g_order;

double Percentile(const std::vector<double>& sorted, double fraction) {
    size_t index = static_cast<size_t>(fraction * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(index, sorted.size() - 1)];
}

void Record(benchmark::State& state, const std::string& name, std::vector<double> samples,
            const char* unit) {
    std::sort(samples.begin(), samples.end());
    Figures f{Percentile(samples, 0.5), Percentile(samples, 0.99), samples.front(), samples.back(),
              unit};
    state.counters[std::string("median_") + unit] = f.median;
    state.counters[std::string("p99_") + unit] = f.p99;
    auto bare = g_figures.find("msgcenter");
    if (bare != g_figures.end() && name != "msgcenter" && std::strcmp(unit, "us") == 0) {
        state.counters["median_x_msgcenter"] = f.median / bare->second.median;
    }
    if (!g_figures.count(name)) {
        g_order.push_back(name);
    }
    g_figures[name] = f;
}

CMsgCenter* g_center = nullptr;
IPlayerCore* g_player = nullptr;
CTimingSink g_sink;
Clock::time_point g_initTime;

// One round trip per iteration, timed on its own.
template <typename RoundTrip>
void Measure(benchmark::State& state, const char* name, RoundTrip roundTrip) {
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
    Record(state, name, std::move(samples), "us");
}

void BM_MsgCenterRoundTrip(benchmark::State& state) {
    static uint8_t request[kRequestSize] = {};
    Measure(state, "msgcenter", [] {
        void* reply = nullptr;
        int length = 0;
        const int hr = g_center->SendMsg(kPeerEndpoint, 0, CHANNEL_PLAYER, request, sizeof request,
                                         &reply, &length, SERVICE_CALL_TIMEOUT);
        g_center->FreeReply(reply);
        return hr == S_OK && length == kReplySize;
    });
}

void BM_PlayerSetVolume(benchmark::State& state) {
    int volume = 0;
    Measure(state, "SetVolume", [&] { return g_player->SetVolume(volume++ % 100) == 0; });
}

void BM_PlayerGetPlayObject(benchmark::State& state) {
    Measure(state, "GetPlayObject", [] {
        IPlayObject* object = nullptr;
        return g_player->GetPlayObject(&object) == 0;
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

// The bare round trip first: the ratios of the others refer to it.
BENCHMARK(BM_MsgCenterRoundTrip)
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
BENCHMARK(BM_ServiceRecovery)
    ->UseManualTime()
    ->Iterations(kRecoveries)
    ->Unit(benchmark::kMillisecond);

void PrintSummary() {
    std::printf("\n%-26s %10s %10s %10s %10s %6s %14s\n", "measure", "median", "p99", "min", "max",
                "unit", "median/msgc");
    const auto bare = g_figures.find("msgcenter");
    for (const std::string& name : g_order) {
        const Figures& f = g_figures[name];
        std::printf("%-26s %10.2f %10.2f %10.2f %10.2f %6s", name.c_str(), f.median, f.p99, f.low,
                    f.high, f.unit);
        if (bare != g_figures.end() && std::strcmp(f.unit, "us") == 0) {
            std::printf(" %14.2f", f.median / bare->second.median);
        }
        std::printf("\n");
    }
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
    Peer peer = StartPeer();
    CMsgCenter center;
    g_initTime = Clock::now();
    InitProxy();  // starts the service from the install folder
    if (peer.pid < 0 || !center.Init(kBenchEndpoint)) {
        std::fprintf(stderr, "the peer did not start, or no endpoint\n");
    } else if (!WaitForService() || (g_player = GetPlayerCoreProxy()) == nullptr) {
        std::fprintf(stderr, "the service did not answer\n");
    } else {
        g_center = &center;
        RegistNotify(&g_sink);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        UnRegistNotify(&g_sink);
        PrintSummary();
        status = 0;
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
