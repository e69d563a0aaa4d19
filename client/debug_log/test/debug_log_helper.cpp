// Test helper: a program that logs through g_Log as its arguments say, one step each:
//   log=TEXT        g_Log.Log("%s", TEXT)
//   progress=N      g_Log.Log(LogTextFlashProgress(), N)
//   texts           each of the client's texts once, with "x" or 7 for its argument
//   mkdir=PATH      creates that folder
//   level=VALUE     writes realloglevel=VALUE into the program's own configuration file
//   threads=T,N     T threads that start together and log N lines each, "t<t> <i> <padding>"
//   exit=N          ends the process at once with code N, without flushing or destructors
// Exit code 0 when every step could be carried out.
#include <sys/stat.h>
#include <unistd.h>

#include <barrier>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "debug_log.h"
#include "dir_and_ini.h"
#include "log_texts.h"
#include "windows.h"

namespace {

// Long enough that a line spans several stdio writes when lines are not kept apart.
const std::string kPadding(300, 'p');

void LogFromThreads(int threads, int lines) {
    std::barrier start(threads);
    std::vector<std::thread> running;
    for (int t = 0; t < threads; ++t) {
        running.emplace_back([&start, t, lines] {
            start.arrive_and_wait();
            for (int i = 0; i < lines; ++i) {
                g_Log.Log("t%d %d %s", t, i, kPadding.c_str());
            }
        });
    }
    for (std::thread& thread : running) {
        thread.join();
    }
}

bool RunStep(const std::string& step) {
    size_t eq = step.find('=');
    std::string name = step.substr(0, eq);
    std::string value = eq == std::string::npos ? std::string() : step.substr(eq + 1);
    if (name == "log") {
        g_Log.Log("%s", value.c_str());
    } else if (name == "progress") {
        g_Log.Log(LogTextFlashProgress(), std::atoi(value.c_str()));
    } else if (name == "texts") {
        g_Log.Log(LogTextInitWindow());
        g_Log.Log(LogTextInitFlash());
        g_Log.Log(LogTextFlashProgress(), 7);
        g_Log.Log(LogTextFlashDebug(), "x");
        g_Log.Log(LogTextOpenSongFailed(), "x");
        g_Log.Log(LogTextPlaySong());
    } else if (name == "mkdir") {
        return mkdir(value.c_str(), 0755) == 0;
    } else if (name == "level") {
        std::string config = GetExeDir() + InstallConfigFile();
        return WritePrivateProfileStringA("LogMsg", "realloglevel", value.c_str(),
                                          config.c_str()) != 0;
    } else if (name == "exit") {
        _exit(std::atoi(value.c_str()));
    } else if (name == "threads") {
        int threads = 0;
        int lines = 0;
        if (std::sscanf(value.c_str(), "%d,%d", &threads, &lines) != 2 || threads < 1) {
            return false;
        }
        LogFromThreads(threads, lines);
    } else {
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (!RunStep(argv[i])) {
            std::fprintf(stderr, "step failed: %s\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
