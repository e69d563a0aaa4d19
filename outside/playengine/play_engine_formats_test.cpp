// Every format the installation plays, as tracks the tests make: each plays to its end as the
// tone it was made from; broken items and items of another format than their name says.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

#include "output_fixture.h"

namespace {

using namespace enginetest;
using namespace enginetest;

constexpr int kToneMs = 1000;
constexpr int kToneHz = 440;
// Encoders add a little silence at the start and the end of a track.
constexpr int kCodecSlackMs = 80;

int RateOf(Format format) {
    return format == Format::Opus ? 48000 : 44100;  // Opus decodes at 48 kHz only
}

TEST_F(OutputTest, EveryFormatPlaysToTheEndAsTheToneItWasMadeFrom) {
    for (const Track& track : AllFormats()) {
        SCOPED_TRACE(track.name);
        const int rate = RateOf(track.format);
        std::string path = root_.Path() + "/tone" + track.extension;
        ASSERT_TRUE(MakeTone(track.format, path, kToneMs, kToneHz, rate, 2));
        SetOutput(std::string("heard") + track.extension + ".wav");
        size_t before = receiver_.Notes().size();

        ASSERT_EQ(Open("file://" + path), PE_OK);
        EXPECT_NEAR(object_->GetDuration(), kToneMs, kCodecSlackMs);
        EXPECT_EQ(object_->GetNumberH(), rate);
        int* data = nullptr;
        int count = 0;
        object_->GetData(&data, &count);
        ASSERT_EQ(count, PE_DATA_COUNT);
        EXPECT_EQ(data[1], 2);
        EXPECT_EQ(data[2], rate);

        ASSERT_EQ(core_->Play(), PE_OK);
        ASSERT_TRUE(receiver_.WaitForCount(before + 2));
        EXPECT_EQ(KindsSince(before), (std::vector<Kind>{Start, End}));
        Sound heard = Output();
        EXPECT_EQ(heard.channels, 2);
        EXPECT_EQ(heard.rate, rate);
        EXPECT_NEAR(heard.Ms(), kToneMs, kCodecSlackMs);
        // The middle of the track, away from the encoders' edges.
        EXPECT_NEAR(Frequency(heard, rate / 10, heard.Frames() - rate / 10), kToneHz, 2.0);
    }
}

TEST_F(OutputTest, BrokenItemsAndItemsNamedForAnotherFormat) {
    std::string tone = root_.Path() + "/tone.wav";
    ASSERT_TRUE(MakeTone(Format::Wav, tone, 2000, kToneHz, 44100, 2));
    std::string flac = root_.Path() + "/tone.flac";
    std::string mp3 = root_.Path() + "/tone.mp3";
    std::string ogg = root_.Path() + "/tone.ogg";
    ASSERT_TRUE(Encode(Format::Flac, tone, flac));
    ASSERT_TRUE(Encode(Format::Mp3, tone, mp3));
    ASSERT_TRUE(Encode(Format::OggVorbis, tone, ogg));
    auto half = [](const std::string& path) {
        std::string bytes = brtest::ReadFile(path);
        return bytes.substr(0, bytes.size() / 2);
    };
    // The header of a stream of speech frames, for which no decoder is installed.
    std::string amr = "#!AMR\n";
    for (int i = 0; i < 50; ++i) {
        amr += '\x3c' + std::string(31, static_cast<char>(i));
    }
    const struct {
        const char* name;
        std::string bytes;
        int result;
        int playsMs;  // when it opens: how much of it plays
    } cases[] = {
        {"Ogg Vorbis named .mp3", brtest::ReadFile(ogg), PE_OK, 2000},
        {"FLAC cut in half", half(flac), PE_OK, 1000},
        {"MP3 cut in half", half(mp3), PE_OK, 1000},
        {"FLAC cut inside its header", brtest::ReadFile(flac).substr(0, 40), PE_ERR_FORMAT, 0},
        {"text named .mp3", "this is no song at all\n", PE_ERR_FORMAT, 0},
        {"a format without a decoder, named .mp3", amr, PE_ERR_FORMAT, 0},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetOutput("heard" + std::to_string(++n) + ".wav");
        size_t before = receiver_.Notes().size();
        ASSERT_EQ(Open(WriteFile("item" + std::to_string(n) + ".mp3", c.bytes)), c.result);
        if (c.result != PE_OK) {
            EXPECT_EQ(object_->GetState(), PE_STATE_NONE);
            ASSERT_TRUE(receiver_.WaitForCount(before + 1));
            EXPECT_EQ(KindsSince(before), (std::vector<Kind>{DecoderMissing}));
            continue;
        }
        ASSERT_EQ(core_->Play(), PE_OK);
        ASSERT_TRUE(receiver_.WaitForCount(before + 2, milliseconds(8000)));
        EXPECT_EQ(KindsSince(before), (std::vector<Kind>{Start, End}));
        EXPECT_NEAR(Output().Ms(), c.playsMs, 2 * kCodecSlackMs);
    }
}

TEST_F(OutputTest, AnItemThatIsNoRegularFileFailsAtOnce) {
    std::string fifo = root_.Path() + "/pipe.mp3";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& location : {fifo, std::string("/dev/zero"), "file://" + fifo}) {
        SCOPED_TRACE(location);
        auto started = Clock::now();
        EXPECT_EQ(Open(location), PE_ERR_FILE);
        EXPECT_LT(Clock::now() - started, milliseconds(1000));
        EXPECT_EQ(object_->GetState(), PE_STATE_NONE);
    }
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_TRUE(receiver_.Notes().empty());
}

}  // namespace
