#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "test_root.h"
#include "windows.h"

extern char** environ;

namespace {

// Moves a descriptor above the ones a child's file actions use.
int MoveHigh(int fd) {
    int high = fcntl(fd, F_DUPFD_CLOEXEC, 10);
    close(fd);
    return high;
}

// One run of pal_mutex_helper with pipes to its input and output; killed when destroyed.
class Helper {
public:
    explicit Helper(const std::string& name, int gateFd = -1) {
        int input[2], output[2];
        if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0) {
            ADD_FAILURE() << "pipe";
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], 0);
        posix_spawn_file_actions_adddup2(&actions, output[1], 1);
        std::string path = BR_TEST_BIN_DIR "/pal_mutex_helper";
        std::vector<char*> argv = {path.data(), const_cast<char*>(name.c_str())};
        std::string gate = "--gate";
        if (gateFd >= 0) {
            posix_spawn_file_actions_adddup2(&actions, gateFd, 3);
            argv.push_back(gate.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
            ADD_FAILURE() << "cannot start " << path;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(input[0]);
        close(output[1]);
        in_ = input[1];
        out_ = output[0];
    }

    ~Helper() {
        Kill();
        CloseInput();
        if (out_ >= 0) {
            close(out_);
        }
    }

    // The next line of output, or "" when none comes within the time.
    std::string ReadLine(int milliseconds = 20000) {
        for (;;) {
            size_t end = buffer_.find('\n');
            if (end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                return line;
            }
            pollfd ready = {out_, POLLIN, 0};
            if (poll(&ready, 1, milliseconds) <= 0) {
                return "";
            }
            char chunk[256];
            ssize_t got = read(out_, chunk, sizeof(chunk));
            if (got <= 0) {
                return "";
            }
            buffer_.append(chunk, static_cast<size_t>(got));
        }
    }

    void Send(const std::string& line) {
        std::string text = line + "\n";
        ASSERT_EQ(write(in_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    void CloseInput() {
        if (in_ >= 0) {
            close(in_);
            in_ = -1;
        }
    }

    // Waits for the helper to end on its own; its exit status.
    int Wait() {
        int status = -1;
        if (pid_ > 0 && waitpid(pid_, &status, 0) == pid_) {
            pid_ = -1;
        }
        return status;
    }

    void Kill() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    std::string buffer_;
};

HANDLE OpenMutex(const std::string& name, DWORD* error) {
    SetLastError(0xDEAD);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    *error = GetLastError();
    return mutex;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        closedir(dir);
    }
    return names;
}

std::string Repeat(const std::string& piece, size_t times) {
    std::string text;
    for (size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

TEST(CreateMutexA, SecondOpenSeesTheFirstUntilEveryHandleIsClosed) {
    brtest::ScopedTestRoot root;
    const std::string names[] = {
        "Brindo_DJ_Mutex_2011_10_17",
        "with/slash",
        "..",
        ".guard",
        "%2F",
        "back\\slash",
        "Global\\Name",
        std::string(PalGbk("互斥")),
        Repeat("n", 201),
        Repeat("x", MAX_PATH),
        Repeat(PalGbk("长"), MAX_PATH),  // 260 characters in 520 bytes
    };
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        DWORD error = 0;
        HANDLE first = OpenMutex(name, &error);
        ASSERT_NE(first, nullptr) << error;
        EXPECT_EQ(error, ERROR_SUCCESS);
        HANDLE second = OpenMutex(name, &error);
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(error, ERROR_ALREADY_EXISTS);
        EXPECT_TRUE(CloseHandle(first));
        HANDLE third = OpenMutex(name, &error);
        EXPECT_EQ(error, ERROR_ALREADY_EXISTS);  // the second handle still has it
        CloseHandle(second);
        CloseHandle(third);
        HANDLE fresh = OpenMutex(name, &error);
        EXPECT_EQ(error, ERROR_SUCCESS);
        CloseHandle(fresh);
    }
    // The last close removes the name's file and its folder levels.
    EXPECT_EQ(FolderEntries(root.Runtime() + "/mutex"), std::vector<std::string>{".guard"});
}

TEST(CreateMutexA, DistinctNamesAreDistinctMutexes) {
    brtest::ScopedTestRoot root;
    const std::pair<std::string, std::string> pairs[] = {
        {"Name", "name"},
        {"a/b", "a%2Fb"},
        {"a/b", "a_b"},
        {Repeat("n", 200), Repeat("n", 201)},  // a file and a folder level of the same text
        {Repeat("n", 201), Repeat("n", 200) + "+"},
        {"Local\\X", "X"},
    };
    for (const auto& [one, other] : pairs) {
        SCOPED_TRACE(one + " / " + other);
        DWORD error = 0;
        HANDLE a = OpenMutex(one, &error);
        EXPECT_EQ(error, ERROR_SUCCESS);
        HANDLE b = OpenMutex(other, &error);
        ASSERT_NE(b, nullptr) << error;
        EXPECT_EQ(error, ERROR_SUCCESS);
        CloseHandle(a);
        CloseHandle(b);
    }
}

TEST(CreateMutexA, RefusesWhatItCannotName) {
    brtest::ScopedTestRoot root;
    const struct {
        const char* name;
        DWORD error;
    } cases[] = {
        {nullptr, ERROR_NOT_SUPPORTED},
        {"", ERROR_NOT_SUPPORTED},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_EQ(CreateMutexA(nullptr, FALSE, c.name), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
    for (const std::string& tooLong :
         {Repeat("x", MAX_PATH + 1), Repeat(PalGbk("长"), MAX_PATH + 1), Repeat("/", 4000)}) {
        DWORD error = 0;
        EXPECT_EQ(OpenMutex(tooLong, &error), nullptr);
        EXPECT_EQ(error, ERROR_FILENAME_EXCED_RANGE);
    }
}

TEST(CreateMutexA, FailsWithoutAUsableRuntimeRoot) {
    brtest::ScopedTestRoot root;
    std::string file = root.Path() + "/plain";
    ASSERT_TRUE(brtest::WriteFile(file, "x"));
    setenv("PAL_RUNTIME_DIR", file.c_str(), 1);
    DWORD error = 0;
    EXPECT_EQ(OpenMutex("Any", &error), nullptr);
    EXPECT_EQ(error, ERROR_PATH_NOT_FOUND);
}

TEST(CreateMutexA, HandleCannotBeWaitedOn) {
    brtest::ScopedTestRoot root;
    DWORD error = 0;
    HANDLE mutex = OpenMutex("Wait", &error);
    SetLastError(0);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    CloseHandle(mutex);
}

TEST(CreateMutexA, AcceptsTheClientsNullDaclAndInitialOwner) {
    brtest::ScopedTestRoot root;
    SECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE));
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, FALSE};
    for (BOOL initialOwner : {FALSE, TRUE}) {
        SetLastError(0xDEAD);
        HANDLE mutex = CreateMutexA(&attributes, initialOwner, "Dacl");
        ASSERT_NE(mutex, nullptr);
        EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
        CloseHandle(mutex);
    }
}

// ---- Across processes ----

TEST(CreateMutexAProcesses, AnotherProcessSeesTheNameUntilItIsClosedOrItsHolderExits) {
    brtest::ScopedTestRoot root;
    Helper first("Held");
    ASSERT_EQ(first.ReadLine(), "created");
    DWORD error = 0;
    HANDLE mine = OpenMutex("Held", &error);
    EXPECT_EQ(error, ERROR_ALREADY_EXISTS);
    CloseHandle(mine);
    first.Send("close");
    ASSERT_EQ(first.ReadLine(), "closed");

    Helper second("Held");
    ASSERT_EQ(second.ReadLine(), "created");
    Helper third("Held");
    EXPECT_EQ(third.ReadLine(), "exists");
    second.CloseInput();  // ends without closing its handle
    third.CloseInput();
    EXPECT_EQ(second.Wait(), 0);
    EXPECT_EQ(third.Wait(), 0);
    Helper fourth("Held");
    EXPECT_EQ(fourth.ReadLine(), "created");
}

TEST(CreateMutexAProcesses, NameIsFreedWhenItsLastHolderIsKilled) {
    brtest::ScopedTestRoot root;
    Helper first("Killed");
    ASSERT_EQ(first.ReadLine(), "created");
    Helper second("Killed");
    ASSERT_EQ(second.ReadLine(), "exists");
    first.Kill();
    Helper third("Killed");
    EXPECT_EQ(third.ReadLine(), "exists");  // the second process still has it
    second.Kill();
    third.Kill();
    Helper fourth("Killed");
    EXPECT_EQ(fourth.ReadLine(), "created");
}

TEST(CreateMutexAProcesses, RuntimeRootsAreSeparate) {
    brtest::ScopedTestRoot first;
    Helper a("Shared");
    ASSERT_EQ(a.ReadLine(), "created");
    {
        brtest::ScopedTestRoot second;
        Helper b("Shared");
        EXPECT_EQ(b.ReadLine(), "created");
        DWORD error = 0;
        HANDLE mine = OpenMutex("Shared", &error);
        EXPECT_EQ(error, ERROR_ALREADY_EXISTS);  // b holds it in this root
        CloseHandle(mine);
    }
    Helper c("Shared");
    EXPECT_EQ(c.ReadLine(), "exists");
}

TEST(CreateMutexAProcesses, SimultaneousStartsLetExactlyOneCreate) {
    brtest::ScopedTestRoot root;
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        int gate[2];
        ASSERT_EQ(pipe2(gate, O_CLOEXEC), 0);
        int gateRead = MoveHigh(gate[0]);
        std::string name = "Race" + std::to_string(round);
        std::vector<std::unique_ptr<Helper>> helpers;
        for (int i = 0; i < 4; ++i) {
            helpers.push_back(std::make_unique<Helper>(name, gateRead));
        }
        close(gateRead);
        for (auto& helper : helpers) {
            ASSERT_EQ(helper->ReadLine(), "ready");
        }
        close(gate[1]);  // lets all of them go at once
        int created = 0;
        for (auto& helper : helpers) {
            std::string line = helper->ReadLine();
            ASSERT_TRUE(line == "created" || line == "exists") << line;
            created += line == "created";
        }
        EXPECT_EQ(created, 1);
    }
}

}  // namespace
