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

namespace roadtest {
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

TEST_F(RoadTest, PlayerPlaysATrackTheTestWroteToItsEnd) {
    const std::string track = root_.Path() + "/song.wav";
    ASSERT_TRUE(brtest::WriteFile(track, wavtest::WavOfMs(kTrackMs)));
    RecordingReceiver receiver(journal_);
    ASSERT_TRUE(InitProxy());
    ASSERT_TRUE(WaitForService());
    IPlayerCore* player = GetPlayerCoreProxy();
    ASSERT_NE(player, nullptr);

    EXPECT_EQ(player->Init(&receiver, 0, 0, 0), 0);
    PlayRequest request;
    std::strncpy(request.itemText1, track.c_str(), sizeof request.itemText1 - 1);
    ASSERT_EQ(player->Open(&request), 0);
    IPlayObject* object = Refreshed(player);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->GetDuration(), kTrackMs);
    EXPECT_EQ(object->GetPosition(), 0);
    EXPECT_EQ(object->GetState(), kStopped);
    char text[1024];
    object->GetTextA(text);
    EXPECT_EQ(text, track);  // the request's location, back through the cache

    ASSERT_EQ(player->Play(), 0);
    ASSERT_TRUE(journal_.WaitFor("PlayStart", 1, 3000));
    ASSERT_EQ(Refreshed(player), object);  // the same cache, refreshed
    EXPECT_EQ(object->GetState(), kPlaying);
    EXPECT_TRUE(object->IsActive());

    std::this_thread::sleep_for(300ms);
    ASSERT_EQ(player->Pause(), 0);
    ASSERT_TRUE(journal_.WaitFor("PlayPause(1)", 1, 3000));
    ASSERT_NE(Refreshed(player), nullptr);
    EXPECT_EQ(object->GetState(), kPaused);
    const int pausedAt = object->GetPosition();
    EXPECT_GE(pausedAt, 250);
    EXPECT_LT(pausedAt, kTrackMs);
    std::this_thread::sleep_for(300ms);
    ASSERT_NE(Refreshed(player), nullptr);
    EXPECT_EQ(object->GetPosition(), pausedAt);  // a pause holds the position

    ASSERT_EQ(player->Play(), 0);
    ASSERT_TRUE(journal_.WaitFor("PlayResume", 1, 3000));
    ASSERT_EQ(player->SetPosition(kSeekMs), 0);
    const auto sought = Clock::now();
    ASSERT_NE(Refreshed(player), nullptr);
    EXPECT_EQ(object->GetState(), kPlaying);
    EXPECT_GE(object->GetPosition(), kSeekMs);
    EXPECT_LT(object->GetPosition(), kTrackMs);

    // The rest of the track plays in real time: about a second.
    ASSERT_TRUE(journal_.WaitFor("PlayEnd", 1, 5000));
    EXPECT_GE(Clock::now() - sought, 900ms);
    ASSERT_NE(Refreshed(player), nullptr);
    EXPECT_EQ(object->GetState(), kStopped);  // the item stands at its start again
    EXPECT_EQ(object->GetPosition(), 0);
    EXPECT_FALSE(object->IsActive());
    EXPECT_EQ(journal_.Lines(),
              (std::vector<std::string>{"PlayStart", "PlayPause(1)", "PlayResume", "PlayEnd"}));

    player->UnInit();
    EXPECT_TRUE(StopCoreServer());
    EXPECT_TRUE(UnInitProxy());
}

// A FIFO named as the item is not a local file: the open fails at once with the engine's result
// 2, and the service goes on answering. It used to block the service's endpoint thread inside
// the open until something wrote to the FIFO, so no later request of any client was answered.
TEST_F(RoadTest, AFifoAsTheItemFailsAtOnceAndTheServiceAnswersOn) {
    const std::string fifo = root_.Path() + "/fifo.wav";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string track = root_.Path() + "/song.wav";
    ASSERT_TRUE(brtest::WriteFile(track, wavtest::WavOfMs(kTrackMs)));
    RecordingReceiver receiver(journal_);
    ASSERT_TRUE(InitProxy());
    ASSERT_TRUE(WaitForService());
    IPlayerCore* player = GetPlayerCoreProxy();
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->Init(&receiver, 0, 0, 0), 0);

    auto open = std::async(std::launch::async, [&] {
        PlayRequest request;
        std::strncpy(request.itemText1, fifo.c_str(), sizeof request.itemText1 - 1);
        return player->Open(&request);
    });
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
    EXPECT_EQ(player->SetVolume(30), 0);
    PlayRequest request;
    std::strncpy(request.itemText1, track.c_str(), sizeof request.itemText1 - 1);
    ASSERT_EQ(player->Open(&request), 0);
    ASSERT_EQ(player->Play(), 0);
    EXPECT_TRUE(journal_.WaitFor("PlayStart", 1, 3000));
    EXPECT_TRUE(StopCoreServer());
    EXPECT_TRUE(UnInitProxy());
}

}  // namespace
}  // namespace roadtest
