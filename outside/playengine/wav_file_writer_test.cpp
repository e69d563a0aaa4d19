#include "wav_file_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "test_root.h"
#include "wav_info.h"

namespace {

TEST(WavFileWriterTest, EveryAppendLeavesAWholeFile) {
    brtest::ScopedTestRoot root;
    std::string path = root.Path() + "/out.wav";
    ASSERT_TRUE(brtest::WriteFile(path, std::string(1000, 'x')));  // emptied on creation
    std::string error;
    std::unique_ptr<WavFileWriter> writer = WavFileWriter::Create(path, &error);
    ASSERT_NE(writer, nullptr) << error;
    EXPECT_EQ(brtest::ReadFile(path).size(), 44u);

    std::vector<int16_t> samples(4410 * 2, 1234);  // 100 ms of stereo at 44100 Hz
    ASSERT_TRUE(writer->Append(samples.data(), samples.size() * 2, 2, 44100));
    WavResult first = ReadWavFile(path);
    ASSERT_EQ(first.status, WavStatus::Ok);
    EXPECT_EQ(first.info.channels, 2);
    EXPECT_EQ(first.info.sampleRate, 44100u);
    EXPECT_EQ(first.info.bitsPerSample, 16);
    EXPECT_EQ(first.info.dataBytes, samples.size() * 2);
    EXPECT_EQ(first.info.durationMs, 100);

    // Another format is dropped; the same format goes on.
    ASSERT_TRUE(writer->Append(samples.data(), 400, 1, 8000));
    ASSERT_TRUE(writer->Append(samples.data(), samples.size() * 2, 2, 44100));
    WavResult second = ReadWavFile(path);
    ASSERT_EQ(second.status, WavStatus::Ok);
    EXPECT_EQ(second.info.durationMs, 200);
    std::string bytes = brtest::ReadFile(path);
    ASSERT_EQ(bytes.size(), 44 + samples.size() * 4);
    EXPECT_EQ(static_cast<uint8_t>(bytes[44]), 1234 & 0xFF);
    EXPECT_EQ(static_cast<uint8_t>(bytes.back()), 1234 >> 8);
}

TEST(WavFileWriterTest, AFileThatCannotBeCreatedSaysWhy) {
    std::string error;
    EXPECT_EQ(WavFileWriter::Create("/nonexistent-folder/out.wav", &error), nullptr);
    EXPECT_NE(error.find("/nonexistent-folder/out.wav"), std::string::npos) << error;
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
}

}  // namespace
