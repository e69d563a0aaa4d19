#include "test_root.h"

#include <ftw.h>
#include <stdlib.h>
#include <unistd.h>

#include <sys/stat.h>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

namespace brtest {

namespace {
// The variables that point at the tree's folders.
const char* const kVariables[] = {"PAL_RUNTIME_DIR", "PAL_COMMON_APPDATA", "PAL_WINDOWS_DIR",
                                  "BRLOG_DIR"};
// The player engine's output: one that keeps real time and needs no device.
const char kEngineOutputVariable[] = "PLAYENGINE_OUTPUT";
const char kEngineOutput[] = "clock";

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define BR_TEST_TSAN 1
#endif
#endif
#if defined(BR_TEST_TSAN)
// Under ThreadSanitizer, the processes the tests start (the service runs the player engine, and
// with it GStreamer) leave unchecked the calls that uninstrumented libraries make; see
// outside/playengine/sanitizer_options.cpp.
const char kTsanVariable[] = "TSAN_OPTIONS";
const char kTsanChildOptions[] = "ignore_noninstrumented_modules=1";
#endif

void SaveAndSet(std::map<std::string, std::optional<std::string>>& saved, const char* name,
                const std::string& value) {
    const char* old = getenv(name);
    saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
    setenv(name, value.c_str(), 1);
}
}  // namespace

struct ScopedTestRoot::Saved {
    std::map<std::string, std::optional<std::string>> values;
};

std::string MakeTempDir(const std::string& prefix) {
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        perror("mkdtemp");
        abort();
    }
    return pattern;
}

void RemoveTree(const std::string& path) {
    nftw(
        path.c_str(),
        [](const char* p, const struct stat*, int, struct FTW*) { return ::remove(p); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

bool WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    return static_cast<bool>(out.flush());
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ScopedTestRoot::ScopedTestRoot() : path_(MakeTempDir("brtest")), saved_(new Saved) {
    const std::string dirs[] = {Runtime(), AppData(), WindowsDir(), LogDir()};
    for (size_t i = 0; i < std::size(kVariables); ++i) {
        mkdir(dirs[i].c_str(), 0700);
        SaveAndSet(saved_->values, kVariables[i], dirs[i]);
    }
    SaveAndSet(saved_->values, kEngineOutputVariable, kEngineOutput);
#if defined(BR_TEST_TSAN)
    const char* tsan = getenv(kTsanVariable);
    SaveAndSet(saved_->values, kTsanVariable,
               std::string(tsan ? tsan : "") + (tsan && *tsan ? " " : "") + kTsanChildOptions);
#endif
}

ScopedTestRoot::~ScopedTestRoot() {
    for (const auto& [name, value] : saved_->values) {
        if (value) {
            setenv(name.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name.c_str());
        }
    }
    delete saved_;
    RemoveTree(path_);
}

}  // namespace brtest
