#include "service_fixture.h"

#include <time.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "msg_ids.h"

namespace servicetest {
namespace fs = std::filesystem;

long long MonotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void ServiceTest::SetUp() {
    setenv("BRTEST_ENGINE_LOG", (root_.Path() + "/engine.log").c_str(), 1);
    setenv("BRTEST_ENGINE_PROBES", (ServiceSocket() + "|" + PartialFiles()).c_str(), 1);
    ASSERT_TRUE(endpoint_.Init(PROXY_ENDPOINT_ID));
}

void ServiceTest::TearDown() {
    processes_.KillAll();
    endpoint_.UnInit();
    EXPECT_TRUE(ProcessesNamed("BrCoreService.exe").empty()) << "a service outlived the test";
    unsetenv("BRTEST_ENGINE_LOG");
    unsetenv("BRTEST_ENGINE_PROBES");
}

std::string ServiceTest::Install(Engine engine) {
    return MakeInstall(root_.Path() + "/install", engine);
}

bool ServiceTest::Answering() {
    Reply reply = endpoint_.Call(CHANNEL_QUERY_RUNNING, std::string());
    return reply.result == 0 && reply.replied && reply.bytes == std::string(1, '\x01');
}

pid_t ServiceTest::StartAnswering(const std::string& program) {
    pid_t pid = processes_.Start(program);
    if (pid <= 0 ||
        !brtest::WaitUntil([&] { return Answering() || !processes_.Running(pid); },
                           std::chrono::milliseconds(kStartMs)) ||
        !processes_.Running(pid)) {
        return -1;
    }
    return pid;
}

pid_t ServiceTest::StartClient(const std::string& fileName, const std::string& reportedName) {
    const std::string dir = root_.Path() + "/clients";
    fs::create_directories(dir);
    // A copy, not a link: the snapshot reports the file name of the process's executable.
    fs::copy_file(BR_TEST_BIN_DIR "/service_client_stand_in", dir + "/" + fileName,
                  fs::copy_options::overwrite_existing);
    pid_t pid = processes_.Start(dir + "/" + fileName);
    if (pid <= 0 ||
        !brtest::WaitUntil([&] { return !ProcessesNamed(reportedName.c_str()).empty(); },
                           std::chrono::milliseconds(kStartMs))) {
        return -1;
    }
    return pid;
}

std::vector<std::string> ServiceTest::EngineLog() const {
    std::vector<std::string> lines;
    std::istringstream log(brtest::ReadFile(root_.Path() + "/engine.log"));
    for (std::string line; std::getline(log, line);) {
        lines.push_back(line.substr(0, line.rfind(' ')));
    }
    return lines;
}

std::vector<long long> ServiceTest::EngineTimes(const std::string& word) const {
    std::vector<long long> times;
    std::istringstream log(brtest::ReadFile(root_.Path() + "/engine.log"));
    for (std::string line; std::getline(log, line);) {
        if (line.rfind(word + " ", 0) == 0) {
            times.push_back(std::atoll(line.c_str() + line.rfind(' ') + 1));
        }
    }
    return times;
}

std::string ServiceTest::ServiceSocket() const {
    return root_.Runtime() + "/callcenter/" + std::to_string(SERVICE_ENDPOINT_ID) + ".sock";
}

std::string ServiceTest::PartialFiles() const {
    return root_.Runtime() + "/swarmget/*.part";
}

}  // namespace servicetest
