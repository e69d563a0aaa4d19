// Round trips between two processes: a 16-byte call answered with 4 bytes, through
// CMsgCenter::SendMsg via the worker (SERVICE_CALL_TIMEOUT), as a direct send (INFINITE), and as
// a bare Unix-socket ping-pong (relayhub's bare_ping_pong.h) between the same two processes.
//
// The benchmark starts its peer itself: the same program with --peer, which holds the service's
// endpoint (4097) and the bare server, in a runtime root of the benchmark's own under /tmp.
// Each iteration is one round trip timed on its own; every benchmark reports the median and the
// 99th percentile in microseconds and, for the message center, their ratios to the bare
// ping-pong's. A summary table follows the benchmark output.
//
// Placement (the peer inherits the benchmark's CPU set unless --peer-cpu=N pins it):
//   both ends on one core:     taskset -c 2 build/bench-bin/msgcenter_bench
//   on two different cores:    taskset -c 2 build/bench-bin/msgcenter_bench --peer-cpu=3
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bare_ping_pong.h"
#include "msg_center.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWarmUp = 1000;
constexpr int kIterations = 20000;

// ---- The peer process ----

// Answers every call with 4 bytes.
class CAnswerCenter : public CMsgCenter {
public:
    HRESULT OnMessage(ICallMessage* message) override {
        CallMsgRecord* record = nullptr;
        if (!message || message->GetRecord(&record) != S_OK || !record) {
            return E_FAIL;
        }
        void* buffer = AllocReply(relayhubtest::kReplySize);
        if (buffer) {
            std::memset(buffer, 1, relayhubtest::kReplySize);
            *record->replyOut = buffer;
            *record->replyLengthOut = relayhubtest::kReplySize;
        }
        return S_OK;
    }
};

bool PinTo(int cpu) {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    return sched_setaffinity(0, sizeof set, &set) == 0;
}

// Serves until its standard input ends.
int RunPeer(const std::string& barePath, int cpu) {
    if (cpu >= 0 && !PinTo(cpu)) {
        std::perror("sched_setaffinity");
        return 2;
    }
    int listenFd = relayhubtest::Listen(barePath);
    auto* center = new CAnswerCenter;
    if (listenFd < 0 || !center->Init(SERVICE_ENDPOINT_ID)) {
        std::puts("failed");
        return 3;
    }
    std::thread bare([listenFd] { relayhubtest::Serve(listenFd); });
    std::puts("ready");
    std::fflush(stdout);
    char byte;
    while (read(0, &byte, 1) > 0) {
    }
    center->UnInit();
    delete center;
    bare.join();  // its connection closed before our input did
    close(listenFd);
    return 0;
}

// ---- The benchmark's side ----

struct Peer {
    pid_t pid = -1;
    int input = -1;
};

Peer StartPeer(const std::string& barePath, int cpu) {
    Peer peer;
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
        return peer;
    }
    std::string self = "/proc/self/exe", mode = "--peer", path = barePath;
    std::string cpuText = std::to_string(cpu);
    char* argv[] = {self.data(), mode.data(), path.data(), cpuText.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    int rc = posix_spawn(&peer.pid, self.c_str(), &actions, nullptr, argv, environ);
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

CMsgCenter* g_center = nullptr;
int g_bareFd = -1;

struct Figures {
    double median = 0;  // microseconds
    double p99 = 0;
};
std::map<std::string, Figures> g_figures;  // by benchmark name, in the order they ran
std::vector<std::string> g_order;

double Percentile(std::vector<double>& sorted, double fraction) {
    size_t index = static_cast<size_t>(fraction * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(index, sorted.size() - 1)];
}

// Runs one round trip per iteration, timing each on its own.
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
        auto start = Clock::now();
        bool ok = roundTrip();
        auto took = std::chrono::duration<double>(Clock::now() - start).count();
        if (!ok) {
            state.SkipWithError("round trip failed");
            return;
        }
        state.SetIterationTime(took);
        samples.push_back(took * 1e6);
    }
    std::sort(samples.begin(), samples.end());
    Figures f{Percentile(samples, 0.5), Percentile(samples, 0.99)};
    state.counters["median_us"] = f.median;
    state.counters["p99_us"] = f.p99;
    auto bare = g_figures.find("bare");
    if (bare != g_figures.end() && std::strcmp(name, "bare") != 0) {
        state.counters["median_x_bare"] = f.median / bare->second.median;
        state.counters["p99_x_bare"] = f.p99 / bare->second.p99;
    }
    if (!g_figures.count(name)) {
        g_order.push_back(name);
    }
    g_figures[name] = f;
}

uint8_t g_request[relayhubtest::kRequestSize] = {};

bool SendThroughCenter(DWORD timeout) {
    void* reply = nullptr;
    int length = 0;
    int hr = g_center->SendMsg(SERVICE_ENDPOINT_ID, 0, CHANNEL_PLAYER, g_request, sizeof g_request,
                               &reply, &length, timeout);
    bool ok = hr == S_OK && length == static_cast<int>(relayhubtest::kReplySize);
    g_center->FreeReply(reply);
    return ok;
}

void BM_BarePingPong(benchmark::State& state) {
    Measure(state, "bare", [] { return relayhubtest::RoundTrip(g_bareFd); });
}

void BM_SendMsgDirect(benchmark::State& state) {
    Measure(state, "direct", [] { return SendThroughCenter(INFINITE); });
}

void BM_SendMsgViaWorker(benchmark::State& state) {
    Measure(state, "worker", [] { return SendThroughCenter(SERVICE_CALL_TIMEOUT); });
}

// The bare ping-pong first: the ratios of the others refer to it.
BENCHMARK(BM_BarePingPong)->UseManualTime()->Iterations(kIterations)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SendMsgDirect)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SendMsgViaWorker)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMicrosecond);

void PrintSummary() {
    auto bare = g_figures.find("bare");
    std::printf("\n%-8s %12s %12s %14s %14s\n", "send", "median_us", "p99_us", "median/bare",
                "p99/bare");
    for (const std::string& name : g_order) {
        const Figures& f = g_figures[name];
        if (bare != g_figures.end()) {
            std::printf("%-8s %12.2f %12.2f %14.2f %14.2f\n", name.c_str(), f.median, f.p99,
                        f.median / bare->second.median, f.p99 / bare->second.p99);
        } else {
            std::printf("%-8s %12.2f %12.2f\n", name.c_str(), f.median, f.p99);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--peer") == 0) {
        return RunPeer(argv[2], std::atoi(argv[3]));
    }
    int peerCpu = -1;
    std::vector<char*> rest = {argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--peer-cpu=", 11) == 0) {
            peerCpu = std::atoi(argv[i] + 11);
        } else {
            rest.push_back(argv[i]);
        }
    }
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());

    // A runtime root of our own: no real installation is reached.
    char rootTemplate[] = "/tmp/msgcenter-bench-XXXXXX";
    if (!mkdtemp(rootTemplate)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string root = rootTemplate;
    setenv("PAL_RUNTIME_DIR", root.c_str(), 1);
    const std::string barePath = root + "/bare.sock";

    int status = 1;
    Peer peer = StartPeer(barePath, peerCpu);
    CMsgCenter center;
    if (peer.pid < 0) {
        std::fprintf(stderr, "the peer did not start\n");
    } else if (!center.Init(PROXY_ENDPOINT_ID) ||
               (g_bareFd = relayhubtest::Connect(barePath)) < 0) {
        std::fprintf(stderr, "no endpoint or no bare connection\n");
    } else {
        g_center = &center;
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        PrintSummary();
        status = 0;
    }
    if (g_bareFd >= 0) {
        close(g_bareFd);
    }
    center.UnInit();
    if (peer.pid > 0) {
        if (status != 0) {
            kill(peer.pid, SIGKILL);  // its bare server may still wait for a connection
        }
        close(peer.input);
        waitpid(peer.pid, nullptr, 0);
    }
    std::filesystem::remove_all(root);
    return status;
}
