// The tests' own waiting and recording: a wait ends when its condition holds or at its deadline,
// a window of nothing catches an event that comes and goes inside it, and the received log keeps
// what arrives from other threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "hex_bytes.h"
#include "received_log.h"
#include "wait_until.h"

namespace {

using namespace std::chrono_literals;

TEST(WaitUntil, EndsWhenTheConditionHoldsOrAtTheDeadline) {
    std::atomic<bool> set{false};
    std::thread setter([&] {
        std::this_thread::sleep_for(50ms);
        set = true;
    });
    EXPECT_TRUE(brtest::WaitUntil([&] { return set.load(); }, 5s));
    setter.join();

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(brtest::WaitUntil([] { return false; }, 100ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
}

TEST(NothingFor, WatchesTheWholeWindow) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(brtest::NothingFor(100ms, [] { return false; }));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);

    // An event that shows for a moment in the middle of the window and is gone at its end.
    std::atomic<bool> showing{false};
    std::thread blink([&] {
        std::this_thread::sleep_for(100ms);
        showing = true;
        std::this_thread::sleep_for(100ms);
        showing = false;
    });
    EXPECT_FALSE(brtest::NothingFor(400ms, [&] { return showing.load(); }));
    blink.join();
}

TEST(ReceivedLog, KeepsWhatArrivesFromOtherThreadsInOrder) {
    brtest::ReceivedLog log;
    std::thread sender([&] {
        log.Add(1, "ab", 2);
        log.Add(2, nullptr, 4);  // no payload
        log.Add(3, "cd", -1);    // a negative length records no bytes
    });
    ASSERT_TRUE(log.WaitForCount(3, 5s));
    sender.join();
    EXPECT_EQ(log.All(), (std::vector<brtest::Received>{{1, "ab"}, {2, ""}, {3, ""}}));
    EXPECT_FALSE(log.WaitForCount(4, 50ms));
    EXPECT_TRUE(log.WaitFor([](const auto& all) { return all.back().channel == 3; }, 0ms));
}

}  // namespace

namespace {

TEST(ByteNotation, BuildersAndHexAgree) {
    using Vec = std::vector<uint8_t>;
    EXPECT_EQ(brtest::Hex(brtest::Ints({1, -1, 0x01020304})),
              brtest::Norm("01 00 00 00 | FF FF FF FF | 04 03 02 01"));
    EXPECT_EQ(brtest::Text("ab"), brtest::Bytes("61 62 00"));
    EXPECT_EQ(brtest::Text(""), brtest::Bytes("00"));
    Vec joined = brtest::Cat<Vec>({brtest::Ints<Vec>({7}), brtest::Text<Vec>("x"), Vec{}});
    EXPECT_EQ(brtest::Hex(joined.data(), joined.size()), brtest::Norm("07 00 00 00 78 00"));
    EXPECT_THROW(brtest::Bytes("0"), std::invalid_argument);
    EXPECT_THROW(brtest::Bytes("0g"), std::invalid_argument);
}

}  // namespace
