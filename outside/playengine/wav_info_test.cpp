// The WAV reader on files written into a private folder: what it takes from good headers, and
// one case per way a header can be broken.
#include "wav_info.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "test_root.h"
#include "test_wav.h"

namespace {

using namespace enginetest;

class WavInfoTest : public ::testing::Test {
protected:
    WavResult ReadBytes(const std::string& bytes) {
        std::string path = root_.Path() + "/item.wav";
        EXPECT_TRUE(brtest::WriteFile(path, bytes));
        return ReadWavFile(path);
    }

    brtest::ScopedTestRoot root_;
};

struct GoodCase {
    const char* name;
    std::string bytes;
    WavInfo expected;
};

TEST_F(WavInfoTest, ReadsFormatAndExactLength) {
    const std::string list = Chunk("LIST", std::string(7, 'x'));  // odd: padded to 8
    const GoodCase cases[] = {
        {"stereo 16-bit, 300 ms",
         PcmWav(2, 44100, 16, 52920),
         {1, 2, 44100, 176400, 4, 16, 52920, 300}},
        {"mono 8-bit, length truncated to whole ms",
         PcmWav(1, 8000, 8, 1234),
         {1, 1, 8000, 8000, 1, 8, 1234, 154}},
        {"24-bit extensible, 6 channels",
         Riff(Chunk("fmt ", FmtExtensible(6, 48000, 24)) + Chunk("data", std::string(8640, 0))),
         {0xFFFE, 6, 48000, 864000, 18, 24, 8640, 10}},
        {"32-bit", PcmWav(2, 22050, 32, 176400), {1, 2, 22050, 176400, 8, 32, 176400, 1000}},
        {"odd chunk before fmt, data after a trailing chunk",
         Riff(list + Chunk("fmt ", FmtPcm(1, 8000, 16)) + Chunk("data", std::string(16000, 0)) +
              list),
         {1, 1, 8000, 16000, 2, 16, 16000, 1000}},
        {"data before fmt",
         Riff(Chunk("data", std::string(800, 0)) + Chunk("fmt ", FmtPcm(1, 8000, 16))),
         {1, 1, 8000, 16000, 2, 16, 800, 50}},
        {"18-byte fmt with an empty extension",
         Riff(Chunk("fmt ", FmtPcm(1, 8000, 16) + Le16(0)) + Chunk("data", std::string(160, 0))),
         {1, 1, 8000, 16000, 2, 16, 160, 10}},
        {"declared data longer than the file: only what is there",
         Riff(Chunk("fmt ", FmtPcm(1, 8000, 16)) + "data" + Le32(0xFFFFFFFF) +
              std::string(3200, 0)),
         {1, 1, 8000, 16000, 2, 16, 3200, 200}},
        {"no sample data", PcmWav(1, 8000, 16, 0), {1, 1, 8000, 16000, 2, 16, 0, 0}},
    };
    for (const GoodCase& c : cases) {
        SCOPED_TRACE(c.name);
        WavResult result = ReadBytes(c.bytes);
        ASSERT_EQ(result.status, WavStatus::Ok);
        EXPECT_EQ(result.info.formatTag, c.expected.formatTag);
        EXPECT_EQ(result.info.channels, c.expected.channels);
        EXPECT_EQ(result.info.sampleRate, c.expected.sampleRate);
        EXPECT_EQ(result.info.byteRate, c.expected.byteRate);
        EXPECT_EQ(result.info.blockAlign, c.expected.blockAlign);
        EXPECT_EQ(result.info.bitsPerSample, c.expected.bitsPerSample);
        EXPECT_EQ(result.info.dataBytes, c.expected.dataBytes);
        EXPECT_EQ(result.info.durationMs, c.expected.durationMs);
    }
}

TEST_F(WavInfoTest, DurationBeyondAnIntIsCapped) {
    // One byte a second and three million bytes (a sparse file) would be 3e9 ms.
    std::string path = root_.Path() + "/long.wav";
    std::string header = Riff(Chunk("fmt ", FmtPcm(1, 1, 8))) + "data" + Le32(3000000);
    ASSERT_TRUE(brtest::WriteFile(path, header));
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(header.size() + 3000000)), 0);
    WavResult result = ReadWavFile(path);
    ASSERT_EQ(result.status, WavStatus::Ok);
    EXPECT_EQ(result.info.dataBytes, 3000000u);
    EXPECT_EQ(result.info.durationMs, INT32_MAX);
}

TEST_F(WavInfoTest, BrokenHeadersAreAFormatProblem) {
    const std::string data = Chunk("data", std::string(160, 0));
    const std::string goodFmt = Chunk("fmt ", FmtPcm(1, 8000, 16));
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty file", ""},
        {"text file", "just some words, not audio\n"},
        {"RIFF header cut short", "RIFF" + Le32(4)},
        {"RIFF of another kind", "RIFF" + Le32(4 + 24) + "AVI " + goodFmt},
        {"no fmt chunk", Riff(data)},
        {"no data chunk", Riff(goodFmt)},
        {"fmt shorter than 16 bytes",
         Riff(Chunk("fmt ", FmtPcm(1, 8000, 16).substr(0, 14)) + data)},
        {"fmt cut off by the end of the file",
         Riff("fmt " + Le32(16) + FmtPcm(1, 8000, 16).substr(0, 10))},
        {"float samples", Riff(Chunk("fmt ", FmtBody(3, 1, 8000, 32000, 4, 32)) + data)},
        {"compressed samples", Riff(Chunk("fmt ", FmtBody(0x55, 2, 44100, 16000, 1, 0)) + data)},
        {"extensible with a float sub-format",
         Riff(Chunk("fmt ", FmtExtensible(2, 8000, 32, 3)) + data)},
        {"extensible without its extension",
         Riff(Chunk("fmt ", FmtBody(0xFFFE, 1, 8000, 16000, 2, 16)) + data)},
        {"extensible with a short extension size",
         Riff(Chunk("fmt ", FmtExtensible(1, 8000, 16).replace(16, 2, Le16(10))) + data)},
        {"no channels", Riff(Chunk("fmt ", FmtBody(1, 0, 8000, 0, 0, 16)) + data)},
        {"no sample rate", Riff(Chunk("fmt ", FmtBody(1, 1, 0, 0, 2, 16)) + data)},
        {"no bits", Riff(Chunk("fmt ", FmtBody(1, 1, 8000, 0, 0, 0)) + data)},
        {"40 bits", Riff(Chunk("fmt ", FmtBody(1, 1, 8000, 40000, 5, 40)) + data)},
        {"byte rate zero", Riff(Chunk("fmt ", FmtBody(1, 1, 8000, 0, 2, 16)) + data)},
        {"byte rate disagrees", Riff(Chunk("fmt ", FmtBody(1, 1, 8000, 15999, 2, 16)) + data)},
        {"block align disagrees", Riff(Chunk("fmt ", FmtBody(1, 2, 8000, 16000, 2, 16)) + data)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadBytes(c.bytes).status, WavStatus::BadFormat);
    }
}

TEST_F(WavInfoTest, MissingOrNonRegularFilesAreUnreadable) {
    EXPECT_EQ(ReadWavFile(root_.Path() + "/missing.wav").status, WavStatus::Unreadable);
    EXPECT_EQ(ReadWavFile(root_.Path()).status, WavStatus::Unreadable);
    EXPECT_EQ(ReadWavFile("").status, WavStatus::Unreadable);
    std::string folder = root_.Path() + "/folder.wav";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    EXPECT_EQ(ReadWavFile(folder).status, WavStatus::Unreadable);
}

}  // namespace
