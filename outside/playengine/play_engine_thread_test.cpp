// The engine's thread: order and origin of the notifications, a receiver that calls back,
// UnInit from outside and from inside a notification, and unloading without UnInit.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "engine_test_support.h"
#include "test_wav.h"
#include "wait_until.h"

namespace {

using namespace enginetest;

TEST_F(PlayEngineTest, NotifiesInOrderFromItsOwnThreadNeverInsideTheCall) {
    ASSERT_EQ(Open(WriteFile("item.wav", enginetest::WavOfMs(2000))), PE_OK);
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_EQ(core_->Pause(), PE_OK);
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_EQ(core_->Pause(), PE_OK);
    ASSERT_EQ(core_->Stop(), PE_OK);
    ASSERT_EQ(Open(WriteFile("bad.wav", "text")), PE_ERR_FORMAT);
    ASSERT_TRUE(receiver_.WaitForCount(6));
    std::vector<Note> notes = receiver_.Notes();
    EXPECT_EQ(receiver_.Kinds(),
              (std::vector<Kind>{Start, Pause, Resume, Pause, Stop, DecoderMissing}));
    for (const Note& note : notes) {
        EXPECT_NE(note.thread, std::this_thread::get_id());
        EXPECT_EQ(note.thread, notes[0].thread);
    }
}

TEST_F(PlayEngineTest, ReceiverMayCallTheEngineFromInsideANotification) {
    ASSERT_EQ(Open(WriteFile("item.wav", enginetest::WavOfMs(2000))), PE_OK);
    int positionSeen = -1;
    receiver_.SetHook([&](Kind kind) {
        if (kind == Start) {
            IPlayObject* object = nullptr;
            core_->GetPlayObject(&object);
            positionSeen = object->GetPosition();
            core_->Pause();
        }
    });
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_TRUE(receiver_.WaitForCount(2));
    EXPECT_EQ(receiver_.Kinds(), (std::vector<Kind>{Start, Pause}));
    EXPECT_GE(positionSeen, 0);
    EXPECT_LT(positionSeen, 2000);
    EXPECT_EQ(object_->GetState(), PE_STATE_PAUSED);
}

TEST_F(PlayEngineTest, UnInitStopsNotificationsAndForgetsEverything) {
    ASSERT_EQ(core_->SetVolume(20), PE_OK);
    ASSERT_EQ(core_->SetNumberA(5), PE_OK);
    ASSERT_EQ(Open(WriteFile("item.wav", enginetest::WavOfMs(300))), PE_OK);
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_TRUE(receiver_.WaitForCount(1));
    core_->UnInit();
    EXPECT_EQ(object_->GetState(), PE_STATE_NONE);
    EXPECT_EQ(object_->GetVolume(), PE_VOLUME_DEFAULT);
    EXPECT_EQ(object_->GetNumberA(), 0);
    // Commands still answer, but nobody hears of them.
    EXPECT_EQ(Open(WriteFile("bad.wav", "text")), PE_ERR_FORMAT);
    EXPECT_TRUE(
        brtest::NothingFor(milliseconds(450), [&] { return receiver_.Kinds().size() > 1; }));
    EXPECT_EQ(receiver_.Kinds(), (std::vector<Kind>{Start}));

    // A new Init brings the engine back.
    Receiver second;
    ASSERT_EQ(core_->Init(&second, 0, 0, 0), PE_OK);
    ASSERT_EQ(Open(WriteFile("item.wav", enginetest::WavOfMs(100))), PE_OK);
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_TRUE(second.WaitForCount(2));
    EXPECT_EQ(second.Kinds(), (std::vector<Kind>{Start, End}));
    core_->UnInit();
    EXPECT_EQ(receiver_.Kinds(), (std::vector<Kind>{Start}));
}

TEST_F(PlayEngineTest, UnInitWaitsForTheNotificationUnderWayAndDropsTheRest) {
    std::mutex gateMu;
    std::condition_variable gateChanged;
    bool inside = false;
    bool open = false;
    receiver_.SetHook([&](Kind kind) {
        if (kind == Start) {
            std::unique_lock lock(gateMu);
            inside = true;
            gateChanged.notify_all();
            gateChanged.wait(lock, [&] { return open; });
        }
    });
    ASSERT_EQ(Open(WriteFile("item.wav", enginetest::WavOfMs(2000))), PE_OK);
    ASSERT_EQ(core_->Play(), PE_OK);
    {
        std::unique_lock lock(gateMu);
        ASSERT_TRUE(gateChanged.wait_for(lock, milliseconds(5000), [&] { return inside; }));
    }
    ASSERT_EQ(core_->Pause(), PE_OK);  // queued behind the start

    std::atomic<bool> done{false};
    std::thread uninit([&] {
        core_->UnInit();
        done = true;
    });
    // The start is still being delivered: UnInit does not return meanwhile.
    EXPECT_TRUE(brtest::NothingFor(milliseconds(100), [&] { return done.load(); }));
    {
        std::lock_guard lock(gateMu);
        open = true;
    }
    gateChanged.notify_all();
    uninit.join();
    EXPECT_TRUE(done);
    EXPECT_TRUE(
        brtest::NothingFor(milliseconds(100), [&] { return receiver_.Kinds().size() > 1; }));
    EXPECT_EQ(receiver_.Kinds(), (std::vector<Kind>{Start}));
}

TEST_F(PlayEngineTest, UnInitFromInsideANotification) {
    receiver_.SetHook([&](Kind kind) {
        if (kind == Start) {
            core_->UnInit();
        }
    });
    ASSERT_EQ(Open(WriteFile("item.wav", enginetest::WavOfMs(300))), PE_OK);
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_TRUE(receiver_.WaitForCount(1));
    EXPECT_TRUE(
        brtest::NothingFor(milliseconds(450), [&] { return receiver_.Kinds().size() > 1; }));
    EXPECT_EQ(receiver_.Kinds(), (std::vector<Kind>{Start}));
    EXPECT_EQ(object_->GetState(), PE_STATE_NONE);

    // Init again from outside: a fresh thread takes over.
    receiver_.SetHook(nullptr);
    ASSERT_EQ(core_->Init(&receiver_, 0, 0, 0), PE_OK);
    ASSERT_EQ(Open(WriteFile("item.wav", enginetest::WavOfMs(100))), PE_OK);
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_TRUE(receiver_.WaitForCount(3));
    EXPECT_EQ(receiver_.Kinds(), (std::vector<Kind>{Start, Start, End}));
}

// Unloading the library without UnInit ends the engine's thread: nothing runs in unmapped code
// and nothing more is delivered.
TEST(PlayEngineUnloadTest, UnloadingWhilePlayingStopsTheThread) {
    brtest::ScopedTestRoot root;
    Receiver receiver;
    std::string path = root.Path() + "/item.wav";
    ASSERT_TRUE(brtest::WriteFile(path, enginetest::WavOfMs(300)));
    LoadedEngine engine;
    ASSERT_NE(engine.core, nullptr) << dlerror();
    ASSERT_EQ(engine.core->Init(&receiver, 0, 0, 0), PE_OK);
    PlayRequest request;
    Put(request.itemText1, path);
    ASSERT_EQ(engine.core->Open(&request), PE_OK);
    ASSERT_EQ(engine.core->Play(), PE_OK);
    ASSERT_TRUE(receiver.WaitForCount(1));
    engine.Unload();
    EXPECT_FALSE(LibraryIsLoaded());
    EXPECT_TRUE(brtest::NothingFor(milliseconds(450), [&] { return receiver.Kinds().size() > 1; }));
    EXPECT_EQ(receiver.Kinds(), (std::vector<Kind>{Start}));
}

}  // namespace
