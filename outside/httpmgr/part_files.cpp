#include "part_files.h"

#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <set>

namespace httpmgr {
namespace {

struct PartFiles {
    std::mutex mutex;
    std::set<std::string> paths;
};

// Never destroyed: the exit handler and download threads may use it while statics go.
PartFiles& Registry() {
    static PartFiles* files = new PartFiles;
    return *files;
}

void RemoveAll() {
    PartFiles& files = Registry();
    std::lock_guard<std::mutex> lock(files.mutex);
    for (const std::string& path : files.paths) {
        unlink(path.c_str());
    }
    files.paths.clear();
}

}  // namespace

void AddPartFile(const std::string& path) {
    PartFiles& files = Registry();
    std::lock_guard<std::mutex> lock(files.mutex);
    files.paths.insert(path);
}

void ForgetPartFile(const std::string& path) {
    PartFiles& files = Registry();
    std::lock_guard<std::mutex> lock(files.mutex);
    files.paths.erase(path);
}

void RemovePartFilesAtExit() {
    Registry();
    std::atexit(RemoveAll);
}

}  // namespace httpmgr
