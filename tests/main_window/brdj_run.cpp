#include "brdj_run.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "process_list.h"
#include "wait_until.h"

namespace brdjtest {
namespace fs = std::filesystem;

namespace {

// Files of build/bin that the installation holds as copies rather than links: the program, so
// that its own folder is the test's installation, and the utility library, whose folder is the
// one the service is started from.
bool Copied(const std::string& name) {
    return name == "BRDJ" || name == "libBrLib.so";
}

// A program that appends its arguments, one a line, to `record`: the earlier lines and the new
// ones are written to a file of its own run and renamed into place, so a reader never sees half
// of a run's lines.
std::string RecorderScript(const std::string& record) {
    std::string part = record + ".$$";
    return "#!/bin/sh\n{ cat " + record + " 2>/dev/null; printf '%s\\n' \"$@\"; } > " + part +
           "\nmv " + part + " " + record + "\n";
}

}  // namespace

std::map<std::string, std::string> Fields(const std::string& line) {
    std::map<std::string, std::string> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        size_t word = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '=') ++i;
        if (i >= line.size() || line[i] != '=')
            continue;  // a word without a value, such as the line's kind
        std::string key = line.substr(word, i - word);
        std::string value;
        ++i;
        if (i < line.size() && line[i] == '"') {
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size())
                    ++i;
                value += line[i];
            }
            ++i;
        } else {
            while (i < line.size() && line[i] != ' ') value += line[i++];
        }
        fields[key] = value;
    }
    return fields;
}

RECT RectField(const std::string& text) {
    RECT r{};
    std::sscanf(text.c_str(), "%d,%d,%d,%d", &r.left, &r.top, &r.right, &r.bottom);
    return r;
}

BrdjRun::BrdjRun(Service service)
    : install_(root_.Path() + "/install/"), work_(root_.Path() + "/work/") {
    fs::create_directories(install_ + "Conf/default");
    fs::create_directories(work_ + "log");  // the program's debug log never makes its folder
    for (const auto& entry : fs::directory_iterator(BR_BIN_DIR)) {
        std::string name = entry.path().filename().string();
        if (name == "Conf" || (service == Service::kMissing && name == "BrCoreService"))
            continue;
        if (Copied(name))
            fs::copy_file(entry.path(), install_ + name);
        else
            fs::create_symlink(entry.path(), install_ + name);
    }
    fs::copy_file(std::string(BR_BIN_DIR) + "/Conf/default/config.ini",
                  install_ + "Conf/default/config.ini");
    SetConfig("LogMsg", "realloglevel", "debug");
    SetConfig("Flash", "Transcript", root_.Path() + "/flash.txt");
    SetConfig("Web", "VersionHost", "");
    SetConfig("Web", "HelpHost", "help.test");
    SetConfig("Web", "FeedbackHost", "feedback.test");
    std::string opener = root_.Path() + "/opener";
    brtest::WriteFile(opener, RecorderScript(root_.Path() + "/opened.txt"));
    chmod(opener.c_str(), 0700);
}

BrdjRun::~BrdjRun() {
    if (Running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    brtest::KillOtherRootProcesses();
}

void BrdjRun::SetConfig(const char* section, const char* key, const std::string& value) {
    WritePrivateProfileStringA(section, key, value.c_str(),
                               (install_ + "Conf/default/config.ini").c_str());
}

void BrdjRun::RecordPendingInstaller(const std::string& version) {
    std::string data = root_.AppData() + "/BRDJ/";
    fs::create_directories(data);
    std::string installer = data + "BRDJ_" + version + ".exe";
    brtest::WriteFile(installer, RecorderScript(root_.Path() + "/installer.txt"));
    chmod(installer.c_str(), 0700);
    WritePrivateProfileStringA("Update", "Version", version.c_str(), (data + "Config.ini").c_str());
    WritePrivateProfileStringA("Update", "UpdateFile", installer.c_str(),
                               (data + "Config.ini").c_str());
}

bool BrdjRun::Start() {
    std::string program = install_ + "BRDJ";
    std::string opener = root_.Path() + "/opener";
    std::string debug = root_.Path() + "/debug.txt";
    pid_ = fork();
    if (pid_ == 0) {
        // A test that is killed (a time-out) takes its program with it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        // Only the program's addresses and debug output are recorded, not the test's own.
        setenv("PAL_URL_OPENER", opener.c_str(), 1);
        setenv("PAL_DEBUG_OUTPUT", debug.c_str(), 1);
        if (!display_.empty()) {
            setenv("DISPLAY", display_.c_str(), 1);
            setenv("PAL_DISPLAY", "x11", 1);
        }
        if (chdir(work_.c_str()) != 0)
            _exit(127);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid_ > 0;
}

bool BrdjRun::Running() const {
    if (pid_ <= 0)
        return false;
    int status = 0;
    return waitpid(pid_, &status, WNOHANG) == 0;
}

int BrdjRun::WaitExit(std::chrono::milliseconds limit) {
    if (pid_ <= 0)
        return -1;
    bool ended = brtest::WaitUntil(
        [&] {
            int status = 0;
            pid_t got = waitpid(pid_, &status, WNOHANG);
            if (got == pid_) {
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                return true;
            }
            return got < 0;
        },
        limit);
    if (ended)
        pid_ = -1;
    return ended ? status_ : -1;
}

DeskAnswer BrdjRun::Desk(const std::string& request) {
    DeskAnswer answer;
    std::string command = std::string(BR_BIN_DIR) + "/paldesk -p " + std::to_string(pid_) + " " +
                          request + " 2>" + root_.Path() + "/paldesk-error.txt";
    FILE* out = popen(command.c_str(), "r");
    if (!out) {
        answer.error = "cannot run paldesk";
        return answer;
    }
    char line[4096];
    while (std::fgets(line, sizeof line, out)) {
        std::string text = line;
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        answer.lines.push_back(text);
    }
    int status = pclose(out);
    answer.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!answer.ok)
        answer.error = brtest::ReadFile(root_.Path() + "/paldesk-error.txt");
    return answer;
}

std::map<std::string, std::string> BrdjRun::MainWindow() {
    for (const std::string& line : Desk("windows").lines) {
        auto fields = Fields(line);
        if (fields["text"] == "BrindoDJ")
            return fields;
    }
    return {};
}

RECT BrdjRun::MainWindowRect() {
    return RectField(MainWindow()["rect"]);
}

bool BrdjRun::WaitForWindow(std::chrono::milliseconds limit) {
    return brtest::WaitUntil([&] { return Running() && MainWindow()["visible"] == "1"; }, limit);
}

std::string BrdjRun::SaveScreen(const std::string& name) {
    std::string path = root_.Path() + "/" + name;
    return Desk("save-screen " + path).ok ? path : std::string();
}

std::string BrdjRun::SaveWindow(const std::string& name) {
    std::string path = root_.Path() + "/" + name;
    return Desk("save-window " + MainWindow()["hwnd"] + " " + path).ok ? path : std::string();
}

std::string BrdjRun::KeepScreen(const std::string& name) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string file = test ? std::string(test->test_suite_name()) + "." + test->name() : "";
    file += "-" + name;
    for (char& c : file) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-')
            c = '_';  // the path goes through the shell to the tool
    }
    std::string folder = std::string(BR_TEST_BIN_DIR) + "/../test-pictures/";
    fs::create_directories(folder);
    std::string path = folder + file + ".png";
    return Desk("save-screen " + path).ok ? path : std::string();
}

std::string BrdjRun::DebugLog() const {
    return brtest::ReadFile(work_ + "log/BRDJ.txt");
}
std::string BrdjRun::DebugOutput() const {
    return brtest::ReadFile(root_.Path() + "/debug.txt");
}
std::string BrdjRun::ProxyLog() const {
    return brtest::ReadFile(root_.LogDir() + "/brServiceProxy.txt");
}
std::string BrdjRun::OpenedAddresses() const {
    return brtest::ReadFile(root_.Path() + "/opened.txt");
}
std::string BrdjRun::InstallerRecord() const {
    return brtest::ReadFile(root_.Path() + "/installer.txt");
}

}  // namespace brdjtest
