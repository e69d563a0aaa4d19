#include "item_file.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>

#include "test_root.h"
#include "test_wav.h"

namespace {

class ItemFileTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        std::string path = root_.Path() + "/" + name;
        EXPECT_TRUE(brtest::WriteFile(path, bytes));
        return path;
    }
    brtest::ScopedTestRoot root_;
};

TEST_F(ItemFileTest, OnlyRegularFilesPassAndNothingWaits) {
    std::string fifo = root_.Path() + "/fifo.mp3";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string socketPath = root_.Path() + "/socket.mp3";
    int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const struct {
        const char* name;
        std::string path;
        bool passes;
    } cases[] = {
        {"regular file", Write("a.mp3", "bytes"), true},
        {"empty file", Write("empty.mp3", ""), true},
        {"missing", root_.Path() + "/missing.mp3", false},
        {"folder", root_.Path(), false},
        {"pipe with no writer", fifo, false},
        {"socket", socketPath, false},
        {"device", "/dev/null", false},
        {"empty path", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(CheckLocalFile(c.path).has_value(), c.passes);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    }
    close(listener);
}

TEST_F(ItemFileTest, TheIdentityChangesWhenTheFileIsRewritten) {
    std::string path = Write("a.mp3", "first");
    std::optional<FileIdentity> first = CheckLocalFile(path);
    ASSERT_TRUE(first);
    EXPECT_EQ(CheckLocalFile(path), first);
    Write("a.mp3", "second, longer");
    std::optional<FileIdentity> second = CheckLocalFile(path);
    ASSERT_TRUE(second);
    EXPECT_NE(second, first);
}

TEST_F(ItemFileTest, WavHeaderGate) {
    const struct {
        const char* name;
        std::string bytes;
        WavGate gate;
    } cases[] = {
        {"PCM WAV", enginetest::WavOfMs(100), WavGate::Ok},
        {"another format", "fLaC and more bytes after it", WavGate::NotWav},
        {"short text", "text", WavGate::NotWav},
        {"empty", "", WavGate::NotWav},
        {"RIFF of another kind", std::string("RIFF\x04\0\0\0AVI LIST", 16), WavGate::NotWav},
        {"RIFF cut in its first bytes", std::string("RIFF\x24\0", 6), WavGate::Bad},
        {"WAV header cut", enginetest::WavOfMs(100).substr(0, 30), WavGate::Bad},
        {"float samples",
         enginetest::Riff(enginetest::Chunk("fmt ", enginetest::FmtBody(3, 1, 8000, 32000, 4, 32)) +
                          enginetest::Chunk("data", std::string(320, '\0'))),
         WavGate::Bad},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WavInfo info;
        EXPECT_EQ(CheckWavHeader(Write("item", c.bytes), &info), c.gate);
        if (c.gate == WavGate::Ok) {
            EXPECT_EQ(info.durationMs, 100);
            EXPECT_EQ(info.sampleRate, 8000u);
        }
    }
}

}  // namespace
