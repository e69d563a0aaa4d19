// The fixture of the updater's end-to-end tests: a test installation with the real updater, its
// configuration pointing at an UpdateServer on 127.0.0.1 that offers 1.0.0.2 over the installed
// 1.0.0.1, and an installer that records how it was run.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "update_server.h"
#include "update_test_support.h"

namespace updtest {

// The files directly in a folder, sorted; empty for a missing folder.
inline std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (std::filesystem::is_directory(folder)) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

class UpdaterTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("BRHTTP_CONNECT_TIMEOUT_MS", "2000", 1);
        setenv("BRHTTP_STALL_TIMEOUT_MS", "800", 1);
        install_.AddUpdater();
        install_.SetConfig("App", "Version", "1.0.0.1");
        install_.SetConfig("Web", "VersionHost", server_.Host());
        install_.SetConfig("Web", "DownloadHost", server_.Host());
        server_.SetVersion("1.0.0.2");
        // The installer is a script that records how it was run; the padding makes the body
        // long enough to arrive in parts.
        server_.SetInstaller(updtest::RecorderScript(installerArgs_) + "exit 0\n" +
                             std::string(200 * 1024, '#') + "\n");
    }
    void TearDown() override {
        server_.Release();
        EXPECT_TRUE(updtest::WaitNoProcess("BRDJUpdate.exe")) << "an updater was left running";
        unsetenv("BRHTTP_CONNECT_TIMEOUT_MS");
        unsetenv("BRHTTP_STALL_TIMEOUT_MS");
    }

    std::string Record(const char* key) {
        return updtest::IniValue(install_.RecordFile(), "Update", key);
    }
    bool WaitForRecord(int timeoutMs = 20000) {
        for (int waited = 0; waited < timeoutMs; waited += 20) {
            if (Record("UpdateFile") != "<missing>" && !Record("UpdateFile").empty()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    // True once the service has been asked that many times and no updater runs any more (one
    // the client started, say), within the time.
    bool WaitForQueriesAndEnd(int queries, int timeoutMs = 20000) {
        for (int waited = 0; waited < timeoutMs && server_.Queries() < queries; waited += 20) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return updtest::WaitNoProcess("BRDJUpdate.exe") && server_.Queries() >= queries;
    }
    // Runs the updater on the data folder to its end; its exit status, or -1 when it was still
    // running after the time (it is killed then).
    int RunUpdater(const std::string& commandLine, int timeoutMs = 30000) {
        return updtest::WaitExit(install_.StartUpdater(commandLine), timeoutMs);
    }

    brtest::ScopedTestRoot root_;
    updtest::UpdateServer server_;
    updtest::TestInstall install_{root_};
    std::string installerArgs_ = root_.Path() + "/installer.args";
};

}  // namespace updtest
