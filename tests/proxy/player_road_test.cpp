// The player-core proxy against the real service and engine: a WAV file the test writes is
// opened, played, paused, resumed, sought and played to its end, with every notification in the
// test's receiver and the position and duration read from the play object on the way.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <future>
#include <thread>

#include "road_support.h"
#include "test_wav.h"
#include "wait_until.h"

namespace proxytest {
namespace {

using namespace std::chrono_literals;

constexpr int kTrackMs = 3000;
constexpr int kSeekMs = 2000;
// The engine's states (GetState): opened or stopped, paused, playing.
constexpr int kStopped = 1;
constexpr int kPaused = 2;
constexpr int kPlaying = 3;

// The play object as the last GetPlayObject left it; null when the service did not answer.
IPlayObject* Refreshed(IPlayerCore* player) {
    IPlayObject* object = nullptr;
    return player->GetPlayObject(&object) == 0 ? object : nullptr;
}

// The service running, the player core initialised with the test's receiver, and a track of
// kTrackMs that the test wrote.
class PlayerRoad : public RoadTest {
protected:
    void SetUp() override {
        RoadTest::SetUp();
        ASSERT_TRUE(brtest::WriteFile(track_, enginetest::WavOfMs(kTrackMs)));
        ASSERT_TRUE(InitProxy());
        ASSERT_TRUE(WaitForService());
        player_ = GetPlayerCoreProxy();
        ASSERT_NE(player_, nullptr);
        EXPECT_EQ(player_->Init(&receiver_, 0, 0, 0), 0);
    }

    // Opens the item at location: the engine's result.
    int Open(const std::string& location) {
        PlayRequest request;
        std::strncpy(request.itemText1, location.c_str(), sizeof request.itemText1 - 1);
        return player_->Open(&request);
    }

    const std::string track_ = root_.Path() + "/song.wav";
    RecordingReceiver receiver_{journal_};
    IPlayerCore* player_ = nullptr;
};

TEST_F(PlayerRoad, PlayerPlaysATrackTheTestWroteToItsEnd) {
    ASSERT_EQ(Open(track_), 0);
    IPlayObject* object = Refreshed(player_);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->GetDuration(), kTrackMs);
    EXPECT_EQ(object->GetPosition(), 0);
    EXPECT_EQ(object->GetState(), kStopped);
    char text[1024];
    object->GetTextA(text);
    EXPECT_EQ(text, track_);  // the request's location, back through the cache

    ASSERT_EQ(player_->Play(), 0);
    ASSERT_TRUE(journal_.WaitFor("PlayStart", 1, 3000));
    ASSERT_EQ(Refreshed(player_), object);  // the same cache, refreshed
    EXPECT_EQ(object->GetState(), kPlaying);
    EXPECT_TRUE(object->IsActive());

    // Plays on until the service reports a quarter second of it.
    ASSERT_TRUE(brtest::WaitUntil(
        [&] { return Refreshed(player_) != nullptr && object->GetPosition() >= 250; }));
    ASSERT_EQ(player_->Pause(), 0);
    ASSERT_TRUE(journal_.WaitFor("PlayPause(1)", 1, 3000));
    ASSERT_NE(Refreshed(player_), nullptr);
    EXPECT_EQ(object->GetState(), kPaused);
    const int pausedAt = object->GetPosition();
    EXPECT_GE(pausedAt, 250);
    EXPECT_LT(pausedAt, kTrackMs);
    EXPECT_TRUE(brtest::NothingFor(
        300ms, [&] { return Refreshed(player_) == nullptr || object->GetPosition() != pausedAt; }));
    ASSERT_NE(Refreshed(player_), nullptr);
    EXPECT_EQ(object->GetPosition(), pausedAt);  // a pause holds the position

    ASSERT_EQ(player_->Play(), 0);
    ASSERT_TRUE(journal_.WaitFor("PlayResume", 1, 3000));
    ASSERT_EQ(player_->SetPosition(kSeekMs), 0);
    const auto sought = Clock::now();
    ASSERT_NE(Refreshed(player_), nullptr);
    EXPECT_EQ(object->GetState(), kPlaying);
    EXPECT_GE(object->GetPosition(), kSeekMs);
    EXPECT_LT(object->GetPosition(), kTrackMs);

    // The rest of the track plays in real time: about a second.
    ASSERT_TRUE(journal_.WaitFor("PlayEnd", 1, 5000));
    EXPECT_GE(Clock::now() - sought, 900ms);
    ASSERT_NE(Refreshed(player_), nullptr);
    EXPECT_EQ(object->GetState(), kStopped);  // the item stands at its start again
    EXPECT_EQ(object->GetPosition(), 0);
    EXPECT_FALSE(object->IsActive());
    EXPECT_EQ(journal_.Lines(),
              (std::vector<std::string>{"PlayStart", "PlayPause(1)", "PlayResume", "PlayEnd"}));

    player_->UnInit();
    EXPECT_TRUE(StopCoreServer());
    EXPECT_TRUE(UnInitProxy());
}

// A FIFO named as the item is not a local file: the open fails at once with the engine's result
// 2, and the service goes on answering. It used to block the service's endpoint thread inside
// the open until something wrote to the FIFO, so no later request of any client was answered.
TEST_F(PlayerRoad, AFifoAsTheItemFailsAtOnceAndTheServiceAnswersOn) {
    const std::string fifo = root_.Path() + "/fifo.wav";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    auto open = std::async(std::launch::async, [&] { return Open(fifo); });
    if (open.wait_for(10s) != std::future_status::ready) {
        // A writer ends the blocked open, so the test can end and report it.
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        open.wait();
        if (writer >= 0) {
            close(writer);
        }
        FAIL() << "the service blocked in the open of a FIFO";
    }
    EXPECT_EQ(open.get(), 2);
    EXPECT_TRUE(IsRunCoreServer());
    EXPECT_EQ(player_->SetVolume(30), 0);
    ASSERT_EQ(Open(track_), 0);
    ASSERT_EQ(player_->Play(), 0);
    EXPECT_TRUE(journal_.WaitFor("PlayStart", 1, 3000));
    EXPECT_TRUE(StopCoreServer());
    EXPECT_TRUE(UnInitProxy());
}

}  // namespace
}  // namespace proxytest
