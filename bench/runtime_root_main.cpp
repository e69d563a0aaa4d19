// The main of the benchmarks whose windows the layer publishes in a runtime root: each run gets a
// root of its own under /tmp, removed when the benchmarks end.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv) {
    char root[] = "/tmp/bench_root_XXXXXX";
    if (mkdtemp(root)) {
        setenv("PAL_RUNTIME_DIR", root, 1);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return 0;
}
