// The player engine beside GStreamer's own command-line player. For a 44.1 kHz stereo MP3 and
// Ogg Vorbis track made at start: the CPU time per second of playback of the engine (loaded as
// the service loads it, playing to the device-free real-time output "clock") and of
// gst-launch-1.0 playing the same file with playbin into the same sink, and their ratio; the
// time from Open and Play to NotifyPlayStart; and the time from a seek until the play object
// shows the track playing on from the target.
//
// CPU per second is the marginal cost of playing: (CPU of a long track - CPU of a short one) /
// (the difference in their lengths), for both players, so that start-up (the library's or the
// program's, the pipeline's building) counts for neither.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "audio_output.h"
#include "engine_test_support.h"
#include "test_root.h"
#include "track_maker.h"

extern char** environ;

namespace {

using enginetest::Clock;
using enginetest::Format;
using enginetest::Kind;
using enginetest::LoadedEngine;
using enginetest::Receiver;

constexpr int kLongMs = 10000;
constexpr int kShortMs = 500;
constexpr int kSeekTargetMs = 6000;

struct Tracks {
    std::string folder = brtest::MakeTempDir("engine-bench");
    std::string Path(Format format, int ms) const {
        return folder + "/track" + std::to_string(ms) + enginetest::TrackOf(format).extension;
    }
    Tracks() {
        setenv(PE_OUTPUT_VARIABLE, "clock", 1);
        for (Format format : {Format::Mp3, Format::OggVorbis}) {
            for (int ms : {kLongMs, kShortMs}) {
                if (!enginetest::MakeTone(format, Path(format, ms), ms, 440, 44100, 2)) {
                    std::fprintf(stderr, "cannot make %s\n", Path(format, ms).c_str());
                    std::exit(1);
                }
            }
        }
    }
    ~Tracks() { brtest::RemoveTree(folder); }
};

const Tracks& TheTracks() {
    static Tracks tracks;
    return tracks;
}

double ProcessCpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// The engine loaded as the service loads it, initialised, with a request for the file.
struct Engine {
    explicit Engine(const std::string& path) {
        core = loaded.core;
        core->Init(&receiver, 0, 0, 0);
        core->GetPlayObject(&object);
        enginetest::Put(request.itemText1, path);
    }
    ~Engine() { core->UnInit(); }

    LoadedEngine loaded;
    IPlayerCore* core = nullptr;
    IPlayObject* object = nullptr;
    Receiver receiver;
    PlayRequest request;
};

// Plays the file to its end through the engine; the CPU seconds the process spent meanwhile.
double EngineCpu(const std::string& path) {
    Engine engine(path);
    Receiver& receiver = engine.receiver;
    double before = ProcessCpuSeconds();
    if (engine.core->Open(&engine.request) != 0 || engine.core->Play() != 0 ||
        !receiver.WaitFor(Kind::End, std::chrono::milliseconds(kLongMs * 3))) {
        std::fprintf(stderr, "the engine did not play %s\n", path.c_str());
        std::exit(1);
    }
    return ProcessCpuSeconds() - before;
}

// Plays the file to its end with gst-launch-1.0; the CPU seconds the program spent.
double AnchorCpu(const std::string& path) {
    std::string uri = "uri=file://" + path;
    std::vector<const char*> argv = {
        "gst-launch-1.0",          "-q",   "playbin", uri.c_str(), "audio-sink=fakesink sync=true",
        "flags=audio+soft-volume", nullptr};
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, const_cast<char**>(argv.data()), environ) !=
        0) {
        std::fprintf(stderr, "cannot start gst-launch-1.0\n");
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "gst-launch-1.0 failed on %s\n", path.c_str());
        std::exit(1);
    }
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_CpuPerSecondOfPlayback(benchmark::State& state) {
    const Format format = static_cast<Format>(state.range(0));
    const Tracks& tracks = TheTracks();
    const double seconds = (kLongMs - kShortMs) / 1000.0;
    double engine = 0;
    double anchor = 0;
    for (auto _ : state) {
        engine +=
            (EngineCpu(tracks.Path(format, kLongMs)) - EngineCpu(tracks.Path(format, kShortMs))) /
            seconds;
        anchor +=
            (AnchorCpu(tracks.Path(format, kLongMs)) - AnchorCpu(tracks.Path(format, kShortMs))) /
            seconds;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["engine_cpu_ms_per_s"] = 1000 * engine / n;
    state.counters["gst_launch_cpu_ms_per_s"] = 1000 * anchor / n;
    state.counters["ratio"] = engine / anchor;
    state.SetLabel(enginetest::TrackOf(format).name);
}
BENCHMARK(BM_CpuPerSecondOfPlayback)
    ->Arg(static_cast<int>(Format::Mp3))
    ->Arg(static_cast<int>(Format::OggVorbis))
    ->Iterations(3)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

void BM_OpenAndPlayToNotifyPlayStart(benchmark::State& state) {
    const Format format = static_cast<Format>(state.range(0));
    Engine engine(TheTracks().Path(format, kLongMs));
    Receiver& receiver = engine.receiver;
    for (auto _ : state) {
        size_t before = receiver.Notes().size();
        auto started = Clock::now();
        if (engine.core->Open(&engine.request) != 0 || engine.core->Play() != 0 ||
            !receiver.WaitForCount(before + 1)) {
            state.SkipWithError("no start");
            break;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(receiver.Notes()[before].when - started).count());
        engine.core->Stop();
        receiver.WaitForCount(before + 2);
    }
    state.SetLabel(enginetest::TrackOf(format).name);
}
BENCHMARK(BM_OpenAndPlayToNotifyPlayStart)
    ->Arg(static_cast<int>(Format::Mp3))
    ->Arg(static_cast<int>(Format::OggVorbis))
    ->Iterations(30)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_SeekUntilPlayingOnFromTheTarget(benchmark::State& state) {
    const Format format = static_cast<Format>(state.range(0));
    Engine engine(TheTracks().Path(format, kLongMs));
    engine.core->Open(&engine.request);
    engine.core->Play();
    int target = 1000;
    for (auto _ : state) {
        target = target == 1000 ? kSeekTargetMs : 1000;  // back and forth
        auto started = Clock::now();
        engine.core->SetPosition(target);
        // The position is there once the pipeline plays on from the target.
        while (engine.object->GetPosition() <= target) {
            if (Clock::now() - started > std::chrono::seconds(5)) {
                state.SkipWithError("the position did not move on");
                break;
            }
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - started).count());
    }
    state.SetLabel(enginetest::TrackOf(format).name);
}
BENCHMARK(BM_SeekUntilPlayingOnFromTheTarget)
    ->Arg(static_cast<int>(Format::Mp3))
    ->Arg(static_cast<int>(Format::OggVorbis))
    ->Iterations(30)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
