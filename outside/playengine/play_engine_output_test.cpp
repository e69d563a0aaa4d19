// What the engine plays, heard through its WAV-file output: nothing while paused and nothing
// lost or repeated around a pause, a seek that lands where it was sent, the volume's scale, an
// output that cannot play, and UnInit while playing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <vector>

#include "engine_log.h"
#include "output_fixture.h"
#include "wait_until.h"

namespace {

using namespace enginetest;
using namespace enginetest;

constexpr int kRate = 8000;
// How long a test watches for something that must not happen.
constexpr milliseconds kQuietWindow(300);

std::string LogText(const brtest::ScopedTestRoot& root) {
    return brtest::ReadFile(root.LogDir() + "/" + PE_LOG_FILE);
}

TEST_F(OutputTest, APauseWritesNothingAndLosesNothing) {
    std::string noise = root_.Path() + "/noise.wav";
    ASSERT_TRUE(MakeNoise(noise, 1500, kRate));
    ASSERT_EQ(Open(noise), PE_OK);
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_TRUE(WaitForSound(300));
    ASSERT_EQ(core_->Pause(), PE_OK);
    ASSERT_TRUE(receiver_.WaitFor(Pause));
    int64_t paused = Output().Frames();
    EXPECT_TRUE(brtest::NothingFor(kQuietWindow, [&] { return Output().Frames() != paused; }));
    EXPECT_EQ(Output().Frames(), paused);
    EXPECT_LT(paused, kRate * 1500 / 1000);

    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_TRUE(receiver_.WaitFor(End));
    EXPECT_EQ(receiver_.Kinds(), (std::vector<Kind>{Start, Pause, Resume, End}));
    EXPECT_TRUE(Output().samples == ReadSound(noise).samples);
}

TEST_F(OutputTest, ASeekLandsWhereItWasSent) {
    constexpr int kTargetMs = 1200;
    std::string noise = root_.Path() + "/noise.wav";
    ASSERT_TRUE(MakeNoise(noise, 2000, kRate));
    std::string flac = root_.Path() + "/noise.flac";
    ASSERT_TRUE(Encode(Format::Flac, noise, flac));
    const std::vector<int16_t> source = ReadSound(noise).samples;
    for (const std::string& path : {noise, flac}) {
        SCOPED_TRACE(path);
        SetOutput(path.substr(path.rfind('.') + 1) + "-heard.wav");
        size_t before = receiver_.Notes().size();
        ASSERT_EQ(Open(path), PE_OK);
        ASSERT_EQ(core_->Play(), PE_OK);
        ASSERT_TRUE(WaitForSound(200));
        ASSERT_EQ(core_->SetPosition(kTargetMs), PE_OK);
        int shown = object_->GetPosition();
        EXPECT_GE(shown, kTargetMs);
        EXPECT_LT(shown, kTargetMs + 50);
        ASSERT_TRUE(receiver_.WaitForCount(before + 2));
        EXPECT_EQ(KindsSince(before), (std::vector<Kind>{Start, End}));

        // The output is the source up to the seek, then the source from where the seek landed.
        const std::vector<int16_t> heard = Output().samples;
        auto jump = std::mismatch(heard.begin(), heard.end(), source.begin(), source.end());
        size_t cut = jump.first - heard.begin();
        ASSERT_GE(cut, static_cast<size_t>(kRate / 5));
        ASSERT_LT(cut + 64, heard.size());
        auto landed = std::search(source.begin(), source.end(), heard.begin() + cut,
                                  heard.begin() + cut + 64);
        ASSERT_NE(landed, source.end());
        const size_t at = landed - source.begin();
        EXPECT_NEAR(static_cast<double>(at) * 1000 / kRate, kTargetMs, 50.0);
        EXPECT_TRUE(std::equal(heard.begin() + cut, heard.end(), landed, source.end()));
    }
}

TEST_F(OutputTest, TheVolumeScalesTheSamples) {
    std::string tone = root_.Path() + "/tone.wav";
    ASSERT_TRUE(MakeTone(Format::Wav, tone, 500, 440, kRate, 1));
    const Sound source = ReadSound(tone);
    const double full = Rms(source, 0, source.Frames());
    ASSERT_GT(full, 1000.0);
    for (int volume : {100, 50, 10, 0}) {
        SCOPED_TRACE(volume);
        SetOutput("volume" + std::to_string(volume) + ".wav");
        size_t before = receiver_.Notes().size();
        ASSERT_EQ(core_->SetVolume(volume), PE_OK);
        ASSERT_EQ(Open(tone), PE_OK);
        ASSERT_EQ(core_->Play(), PE_OK);
        ASSERT_TRUE(receiver_.WaitForCount(before + 2));
        Sound heard = Output();
        EXPECT_EQ(heard.Frames(), source.Frames());
        EXPECT_NEAR(Rms(heard, 0, heard.Frames()) / full, volume / 100.0, 0.005);
    }
}

TEST_F(OutputTest, AnOutputThatCannotPlayFailsThePlayAndSaysSo) {
    std::string tone = root_.Path() + "/tone.wav";
    ASSERT_TRUE(MakeTone(Format::Wav, tone, 300, 440, kRate, 1));
    const struct {
        const char* name;
        std::string output;
    } cases[] = {
        {"a WAV file in a missing folder", "wav:" + root_.Path() + "/missing/out.wav"},
        {"a sink that is not installed", "nosuchaudiosink"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetOutputText(c.output);
        size_t before = receiver_.Notes().size();
        // The item itself is fine: it opens and knows its length.
        ASSERT_EQ(Open(tone), PE_OK);
        EXPECT_EQ(object_->GetDuration(), 300);
        auto started = Clock::now();
        EXPECT_EQ(core_->Play(), PE_ERR_OUTPUT);
        EXPECT_LT(Clock::now() - started, milliseconds(2000));
        ASSERT_TRUE(receiver_.WaitForCount(before + 1));
        std::vector<Note> notes = receiver_.Notes();
        EXPECT_EQ(notes.back().kind, Fail);
        EXPECT_EQ(notes.back().arg, PE_ERR_OUTPUT);
        EXPECT_EQ(object_->GetState(), PE_STATE_STOPPED);
        std::string log = LogText(root_);
        EXPECT_NE(log.find("the audio output \"" + c.output + "\" cannot play"), std::string::npos)
            << log;
    }
    // Once the output can play, the same item plays.
    SetOutput("after.wav");
    size_t before = receiver_.Notes().size();
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_TRUE(receiver_.WaitForCount(before + 2));
    EXPECT_EQ(KindsSince(before), (std::vector<Kind>{Start, End}));
    EXPECT_EQ(Output().Ms(), 300);
}

TEST_F(OutputTest, UnInitWhilePlayingStopsTheSound) {
    std::string tone = root_.Path() + "/tone.ogg";
    ASSERT_TRUE(MakeTone(Format::OggVorbis, tone, 3000, 440, 44100, 2));
    ASSERT_EQ(Open(tone), PE_OK);
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_TRUE(WaitForSound(200));
    auto started = Clock::now();
    core_->UnInit();
    EXPECT_LT(Clock::now() - started, milliseconds(1000));
    EXPECT_EQ(object_->GetState(), PE_STATE_NONE);
    int64_t heard = Output().Frames();
    EXPECT_TRUE(brtest::NothingFor(kQuietWindow, [&] { return Output().Frames() != heard; }));
    EXPECT_EQ(Output().Frames(), heard);
    EXPECT_LT(Output().Ms(), 2000);
    EXPECT_EQ(receiver_.Kinds(), (std::vector<Kind>{Start}));
}

}  // namespace
