// The engine against a real HTTP server on 127.0.0.1: what reaches the observer, in which
// order and on which thread, and what is left in the cache folder.
#include "swarmget.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "brmv.h"
#include "swarm_test_server.h"
#include "test_observer.h"
#include "test_root.h"
#include "wait_until.h"

using swarmgettest::Body;
using swarmgettest::ObserverCall;
using swarmgettest::RecordingObserver;
using swarmgettest::TestHttpServer;

namespace {

std::set<std::string> FilesIn(const std::string& dir) {
    std::set<std::string> names;
    if (DIR* folder = opendir(dir.c_str())) {
        while (const dirent* entry = readdir(folder)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.insert(name);
            }
        }
        closedir(folder);
    }
    return names;
}

bool Exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

std::vector<int> Slots(const std::vector<ObserverCall>& calls) {
    std::vector<int> slots;
    for (const ObserverCall& call : calls) {
        slots.push_back(call.slot);
    }
    return slots;
}

// A port on 127.0.0.1 where nobody listens.
int ClosedPort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

class SwarmgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Listening());
        // A quick stall limit, so a silent server fails within a second or two.
        setenv("SWARMGET_STALL_SECONDS", "1", 1);
        StartP2P();
    }

    void TearDown() override {
        StopP2P();
        StartBRMV("", "");
        unsetenv("SWARMGET_STALL_SECONDS");
        // Every call came from an engine thread, never from inside a call of the test's.
        for (const ObserverCall& call : observer_.Calls()) {
            EXPECT_NE(call.thread, testThread_) << "slot " << call.slot;
        }
    }

    bool Start(const Sign& sign, const std::string& path) {
        int value1 = 0;
        return StartDown(&sign, server_.Url(path).c_str(), &value1, 0, 3, &observer_, false);
    }

    std::string CacheDir() const { return root_.Runtime() + "/swarmget"; }
    std::string FinalFile(const Sign& sign) const {
        return CacheDir() + "/" + std::to_string(sign.first) + "_" + std::to_string(sign.second) +
               ".dat";
    }

    brtest::ScopedTestRoot root_;
    TestHttpServer server_;
    RecordingObserver observer_;
    std::thread::id testThread_ = std::this_thread::get_id();
};

TEST_F(SwarmgetTest, CompletesWithTheExactBytesAndReportsProgress) {
    const Sign sign(1, 2);
    const size_t size = 384 * 1024;
    ASSERT_TRUE(Start(sign, "/file/" + std::to_string(size)));
    ASSERT_TRUE(observer_.WaitFor(2));

    std::vector<ObserverCall> calls = observer_.Calls();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls.front().slot, 1);
    EXPECT_EQ(calls.front().text, FinalFile(sign));
    EXPECT_EQ(calls.front().values[0], static_cast<int>(size));
    EXPECT_EQ(calls[calls.size() - 2].slot, 5);
    EXPECT_EQ(calls.back().slot, 2);
    int progress = 0;
    int lastReceived = 0;
    for (size_t i = 1; i + 2 < calls.size(); ++i) {
        ASSERT_EQ(calls[i].slot, 4);
        const int* v = calls[i].values;
        EXPECT_GT(v[0], lastReceived);
        EXPECT_LE(v[0], static_cast<int>(size));
        EXPECT_EQ(v[1], static_cast<int>(size));
        EXPECT_EQ(v[2], std::min<int64_t>(99, int64_t{v[0]} * 100 / int64_t{size}));
        lastReceived = v[0];
        ++progress;
    }
    EXPECT_GE(progress, 1) << "the transfer takes about half a second";
    for (const ObserverCall& call : calls) {
        EXPECT_EQ(call.sign, sign);
    }

    EXPECT_EQ(brtest::ReadFile(FinalFile(sign)), Body(size));
    EXPECT_EQ(FilesIn(CacheDir()), std::set<std::string>{"1_2.dat"});
    int value = 0;
    std::string text;
    GetResInfo(&sign, &value, &text);
    EXPECT_EQ(value, 100);
    EXPECT_EQ(text, FinalFile(sign));
}

TEST_F(SwarmgetTest, FollowsARedirect) {
    const Sign sign(1, 3);
    ASSERT_TRUE(Start(sign, "/to/7000"));
    ASSERT_TRUE(observer_.WaitFor(2));
    EXPECT_EQ(Slots(observer_.Calls()), (std::vector<int>{1, 5, 2}));
    EXPECT_EQ(brtest::ReadFile(FinalFile(sign)), Body(7000));
}

TEST_F(SwarmgetTest, AnEmptyBodyIsACompleteEmptyFile) {
    const Sign sign(0xFFFFFFFFu, 0);
    ASSERT_TRUE(Start(sign, "/empty"));
    ASSERT_TRUE(observer_.WaitFor(2));
    EXPECT_EQ(Slots(observer_.Calls()), (std::vector<int>{1, 5, 2}));
    EXPECT_EQ(observer_.Calls().front().values[0], 0);
    EXPECT_TRUE(Exists(CacheDir() + "/4294967295_0.dat"));
    EXPECT_EQ(brtest::ReadFile(CacheDir() + "/4294967295_0.dat"), "");
}

struct FailureCase {
    const char* name;
    std::string path;  // empty: a port where nobody listens
    int code;
    bool started;  // whether slot 1 comes first
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

class SwarmgetFailureTest : public SwarmgetTest,
                            public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SwarmgetFailureTest, ReportsTheCodeAndLeavesNoFile) {
    const FailureCase& c = GetParam();
    const Sign sign(7, 8);
    int value1 = 0;
    std::string address = c.path.empty()
                              ? "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/file/10"
                              : server_.Url(c.path);
    ASSERT_TRUE(StartDown(&sign, address.c_str(), &value1, 0, 3, &observer_, false));
    ASSERT_TRUE(observer_.WaitFor(2));

    std::vector<ObserverCall> calls = observer_.Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls.front().slot == 1, c.started);
    EXPECT_EQ(calls[calls.size() - 2].slot, 3);
    EXPECT_EQ(calls[calls.size() - 2].values[0], c.code);
    EXPECT_EQ(calls.back().slot, 2);
    for (const ObserverCall& call : calls) {
        EXPECT_NE(call.slot, 5);
        EXPECT_FALSE(call.slot == 3 && call.values[0] == 6) << "code 6 is the proxy's";
    }
    EXPECT_TRUE(FilesIn(CacheDir()).empty());
    int value = 0;
    std::string text = "before";
    GetResInfo(&sign, &value, &text);
    EXPECT_EQ(value, -1);
    EXPECT_EQ(text, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SwarmgetFailureTest,
    ::testing::Values(FailureCase{"NotFound", "/missing", 404, false},
                      FailureCase{"RedirectWithoutTarget", "/moved", 302, false},
                      FailureCase{"ClosedMidBody", "/cut/200000", SWARMGET_FAIL_BROKEN, true},
                      FailureCase{"Stalled", "/stall", SWARMGET_FAIL_STALLED, true},
                      FailureCase{"NobodyListens", "", SWARMGET_FAIL_CONNECT, false}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(SwarmgetTest, StopDownHalfWayEndsTheReportsAndDiscardsThePartialFile) {
    const Sign sign(3, 4);
    ASSERT_TRUE(Start(sign, "/drip"));
    ASSERT_TRUE(observer_.WaitFor(4));
    ASSERT_FALSE(FilesIn(CacheDir()).empty()) << "the partial file exists while it runs";
    int value = -1;
    std::string text;
    GetResInfo(&sign, &value, &text);
    EXPECT_GE(value, 0);
    EXPECT_LT(value, 100);
    EXPECT_EQ(text, FinalFile(sign));

    StopDown(&sign, &observer_);
    size_t seen = observer_.Calls().size();
    EXPECT_TRUE(FilesIn(CacheDir()).empty());
    EXPECT_TRUE(brtest::NothingFor(std::chrono::milliseconds(400), [&] {
        return observer_.Calls().size() != seen;
    })) << "no report after StopDown returned";
    for (const ObserverCall& call : observer_.Calls()) {
        EXPECT_TRUE(call.slot == 1 || call.slot == 4) << call.slot;
    }
    GetResInfo(&sign, &value, &text);
    EXPECT_EQ(value, -1);

    // The sign can be downloaded again.
    ASSERT_TRUE(Start(sign, "/file/5000"));
    ASSERT_TRUE(observer_.WaitFor(2));
    EXPECT_EQ(brtest::ReadFile(FinalFile(sign)), Body(5000));
}

TEST_F(SwarmgetTest, DelResDeletesACompleteFileAndReportsSlot2) {
    const Sign sign(5, 6);
    ASSERT_TRUE(Start(sign, "/file/20000"));
    ASSERT_TRUE(observer_.WaitFor(2));
    ASSERT_TRUE(Exists(FinalFile(sign)));

    RecordingObserver deleter;
    DelRes(&sign, &deleter);
    EXPECT_FALSE(Exists(FinalFile(sign)));
    EXPECT_TRUE(FilesIn(CacheDir()).empty());
    ASSERT_TRUE(deleter.WaitFor(2));
    EXPECT_EQ(Slots(deleter.Calls()), std::vector<int>{2});
    EXPECT_NE(deleter.Calls().front().thread, testThread_);
    int value = 0;
    std::string text;
    GetResInfo(&sign, &value, &text);
    EXPECT_EQ(value, -1);
}

TEST_F(SwarmgetTest, DelResStopsARunningDownload) {
    const Sign sign(5, 7);
    ASSERT_TRUE(Start(sign, "/drip"));
    ASSERT_TRUE(observer_.WaitFor(4));
    DelRes(&sign, &observer_);
    EXPECT_TRUE(FilesIn(CacheDir()).empty());
    ASSERT_TRUE(observer_.WaitFor(2));
    const size_t seen = observer_.Calls().size();
    EXPECT_TRUE(brtest::NothingFor(std::chrono::milliseconds(300),
                                   [&] { return observer_.Calls().size() != seen; }));
    std::vector<int> slots = Slots(observer_.Calls());
    EXPECT_EQ(slots.back(), 2);
    EXPECT_EQ(std::count(slots.begin(), slots.end(), 2), 1);
    EXPECT_EQ(std::count(slots.begin(), slots.end(), 5), 0);
    EXPECT_TRUE(FilesIn(CacheDir()).empty());
}

TEST_F(SwarmgetTest, StopAllEndsEveryRunningDownloadWithSlot2) {
    const Sign first(10, 1), second(10, 2);
    ASSERT_TRUE(Start(first, "/drip"));
    ASSERT_TRUE(Start(second, "/drip"));
    ASSERT_TRUE(observer_.WaitFor(4, &first));
    ASSERT_TRUE(observer_.WaitFor(4, &second));
    StopAll();
    EXPECT_TRUE(FilesIn(CacheDir()).empty());
    ASSERT_TRUE(observer_.WaitFor(2, &first));
    ASSERT_TRUE(observer_.WaitFor(2, &second));
    const size_t seen = observer_.Calls().size();
    EXPECT_TRUE(brtest::NothingFor(std::chrono::milliseconds(300),
                                   [&] { return observer_.Calls().size() != seen; }));
    for (const Sign& sign : {first, second}) {
        std::vector<int> slots;
        for (const ObserverCall& call : observer_.Calls()) {
            if (call.sign == sign) {
                slots.push_back(call.slot);
            }
        }
        EXPECT_EQ(slots.back(), 2) << "slot 2 is the last report";
        EXPECT_EQ(std::count(slots.begin(), slots.end(), 2), 1);
    }
}

TEST_F(SwarmgetTest, RefusesWhatItCannotDownload) {
    const Sign sign(9, 9);
    int value1 = 0;
    EXPECT_FALSE(
        StartDown(nullptr, server_.Url("/drip").c_str(), &value1, 0, 3, &observer_, false));
    EXPECT_FALSE(StartDown(&sign, nullptr, &value1, 0, 3, &observer_, false));
    for (const char* address : {"", "ftp://127.0.0.1/x", "file:///etc/passwd", "127.0.0.1/x"}) {
        EXPECT_FALSE(StartDown(&sign, address, &value1, 0, 3, &observer_, false)) << address;
    }
    // A sign that is downloading takes the same address again, not another one.
    ASSERT_TRUE(Start(sign, "/drip"));
    EXPECT_TRUE(Start(sign, "/drip"));
    EXPECT_FALSE(Start(sign, "/file/10"));
    ASSERT_TRUE(observer_.WaitFor(4));
    std::vector<int> slots = Slots(observer_.Calls());
    EXPECT_EQ(std::count(slots.begin(), slots.end(), 1), 1) << "one transfer";
}

TEST_F(SwarmgetTest, GetResInfoKnowsFilesOfEarlierRuns) {
    const Sign known(11, 12), unknown(11, 13);
    mkdir(CacheDir().c_str(), 0700);
    ASSERT_TRUE(brtest::WriteFile(CacheDir() + "/11_12.dat", "kept"));
    int value = 0;
    std::string text;
    GetResInfo(&known, &value, &text);
    EXPECT_EQ(value, 100);
    EXPECT_EQ(text, FinalFile(known));
    GetResInfo(&unknown, &value, &text);
    EXPECT_EQ(value, -1);
    EXPECT_EQ(text, "");
    GetResInfo(&known, nullptr, nullptr);
}

TEST_F(SwarmgetTest, AnObserverMayCallTheEngineFromInsideItsCalls) {
    const Sign sign(13, 14);
    std::atomic<int> inside{0};
    observer_.SetHook([&](const ObserverCall& call) {
        if (call.slot == 4 && inside++ == 0) {
            int value = -1;
            std::string text;
            GetResInfo(&call.sign, &value, &text);
            EXPECT_EQ(text, FinalFile(call.sign));
            StopDown(&call.sign, &observer_);
        }
    });
    ASSERT_TRUE(Start(sign, "/drip"));
    ASSERT_TRUE(observer_.WaitFor(4));
    // The call is recorded before the hook runs: wait for the hook, then watch for a second one.
    ASSERT_TRUE(brtest::WaitUntil([&] { return inside.load() >= 1; }));
    EXPECT_TRUE(brtest::NothingFor(std::chrono::milliseconds(400), [&] {
        return inside.load() != 1;
    })) << "nothing after the stop made inside the call";
    EXPECT_TRUE(FilesIn(CacheDir()).empty());
}

TEST_F(SwarmgetTest, StopDownWaitsForARunningCallOfItsSign) {
    const Sign sign(17, 18);
    std::atomic<bool> entered{false}, left{false};
    observer_.SetHook([&](const ObserverCall& call) {
        if (call.slot == 4 && !entered.exchange(true)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            left = true;
        }
    });
    ASSERT_TRUE(Start(sign, "/drip"));
    ASSERT_TRUE(observer_.WaitFor(4));
    StopDown(&sign, &observer_);
    EXPECT_TRUE(left.load()) << "StopDown returned while the observer was still in its call";
}

TEST_F(SwarmgetTest, ASlowObserverGetsMergedProgressAndTheDownloadCompletes) {
    // The observer holds its first call longer than the whole transfer and the stall limit.
    const Sign sign(19, 20);
    observer_.SetHook([](const ObserverCall& call) {
        if (call.slot == 1) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        }
    });
    const size_t size = 128 * 1024;
    ASSERT_TRUE(Start(sign, "/file/" + std::to_string(size)));
    ASSERT_TRUE(observer_.WaitFor(2));
    std::vector<int> slots = Slots(observer_.Calls());
    EXPECT_EQ(std::count(slots.begin(), slots.end(), 5), 1);
    EXPECT_LE(std::count(slots.begin(), slots.end(), 4), 1) << "waiting progress is merged";
    EXPECT_EQ(brtest::ReadFile(FinalFile(sign)), Body(size));
}

TEST_F(SwarmgetTest, CacheFolderFromTheEnvironmentAndFromStartBRMV) {
    const Sign sign(15, 16);
    std::string own = root_.Path() + "/own/cache";
    setenv("SWARMGET_CACHE_DIR", own.c_str(), 1);
    ASSERT_TRUE(Start(sign, "/file/3000"));
    ASSERT_TRUE(observer_.WaitFor(2));
    unsetenv("SWARMGET_CACHE_DIR");
    EXPECT_EQ(brtest::ReadFile(own + "/15_16.dat"), Body(3000));

    // StartBRMV's folder comes first; it removes partial files of runs that are gone and keeps
    // everything else.
    std::string chosen = root_.Path() + "/chosen";
    ASSERT_EQ(mkdir(chosen.c_str(), 0700), 0);
    ASSERT_TRUE(brtest::WriteFile(chosen + "/1_1.999999999-3.part", "left over"));
    ASSERT_TRUE(brtest::WriteFile(chosen + "/1_1." + std::to_string(getpid()) + "-3.part", "x"));
    ASSERT_TRUE(brtest::WriteFile(chosen + "/1_2.dat", "complete"));
    StartBRMV((chosen + "/").c_str(), "");
    EXPECT_EQ(FilesIn(chosen),
              (std::set<std::string>{"1_1." + std::to_string(getpid()) + "-3.part", "1_2.dat"}));
    const Sign next(15, 17);
    ASSERT_TRUE(Start(next, "/file/100"));
    ASSERT_TRUE(observer_.WaitFor(2, &next));
    EXPECT_EQ(brtest::ReadFile(chosen + "/15_17.dat"), Body(100));
}

}  // namespace
