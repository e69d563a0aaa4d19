// Opening items: paths and file addresses, the exact duration, every way an open fails, an
// item replaced or spoilt, and the values the engine only stores or answers.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <future>
#include <thread>
#include <vector>

#include "engine_test_support.h"
#include "test_wav.h"

namespace {

using namespace enginetest;

TEST_F(PlayEngineTest, OpensPathsAndFileAddressesWithTheExactDuration) {
    const struct {
        const char* name;
        std::string bytes;
        int durationMs;
    } cases[] = {
        {"stereo 16.wav", enginetest::PcmWav(2, 44100, 16, 52920), 300},
        {"mono 8.wav", enginetest::PcmWav(1, 8000, 8, 1234), 154},
        {"six 24.wav",
         enginetest::Riff(enginetest::Chunk("fmt ", enginetest::FmtExtensible(6, 48000, 24)) +
                          enginetest::Chunk("data", std::string(864000 * 2 + 18, '\0'))),
         2000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = WriteFile(c.name, c.bytes);
        std::string escaped = root_.Path() + "/" +
                              std::string(c.name).replace(std::string(c.name).find(' '), 1, "%20");
        for (const std::string& location : {path, "file://" + escaped}) {
            SCOPED_TRACE(location);
            ASSERT_EQ(Open(location), PE_OK);
            EXPECT_EQ(object_->GetDuration(), c.durationMs);
            EXPECT_EQ(object_->GetState(), PE_STATE_STOPPED);
            EXPECT_EQ(Text(&IPlayObject::GetTextA), location);
        }
    }
    EXPECT_TRUE(receiver_.Notes().empty());
}

TEST_F(PlayEngineTest, OpenFailsForMissingUnreadableAndForeignFiles) {
    std::string folder = root_.Path() + "/folder.wav";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    const struct {
        const char* name;
        std::string location;
        int result;
    } cases[] = {
        {"missing file", root_.Path() + "/missing.wav", PE_ERR_FILE},
        {"a folder", folder, PE_ERR_FILE},
        {"no location", "", PE_ERR_FILE},
        {"another host", "file://elsewhere" + root_.Path() + "/x.wav", PE_ERR_FILE},
        {"not a local file", "http://127.0.0.1/x.wav", PE_ERR_FILE},
        {"text file", WriteFile("notes.wav", "not audio at all\n"), PE_ERR_FORMAT},
        {"bad header",
         WriteFile(
             "bad.wav",
             enginetest::Riff(enginetest::Chunk("fmt ", enginetest::FmtBody(1, 1, 8000, 0, 2, 16)) +
                              enginetest::Chunk("data", std::string(1600, '\0')))),
         PE_ERR_FORMAT},
        {"cut-off header", WriteFile("cut.wav", enginetest::WavOfMs(100).substr(0, 30)),
         PE_ERR_FORMAT},
        {"float samples",
         WriteFile("float.wav",
                   enginetest::Riff(
                       enginetest::Chunk("fmt ", enginetest::FmtBody(3, 1, 8000, 32000, 4, 32)) +
                       enginetest::Chunk("data", std::string(3200, '\0')))),
         PE_ERR_FORMAT},
    };
    std::vector<Kind> expected;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Open(c.location), c.result);
        EXPECT_EQ(object_->GetState(), PE_STATE_NONE);
        EXPECT_EQ(object_->GetDuration(), 0);
        EXPECT_EQ(Text(&IPlayObject::GetTextA), "");
        EXPECT_EQ(core_->Play(), PE_ERR_STATE);
        if (c.result == PE_ERR_FORMAT) {
            expected.push_back(DecoderMissing);
        }
    }
    // A good item afterwards: its start comes after exactly the notifications of the failures.
    ASSERT_EQ(Open(WriteFile("good.wav", enginetest::WavOfMs(2000))), PE_OK);
    ASSERT_EQ(core_->Play(), PE_OK);
    expected.push_back(Start);
    ASSERT_TRUE(receiver_.WaitForCount(expected.size()));
    EXPECT_EQ(receiver_.Kinds(), expected);
}

// A FIFO, a socket or a device is not a local file: the open fails at once, and the engine
// answers the next command. A FIFO without a writer used to block the open until one came.
TEST_F(PlayEngineTest, OpenOfAFifoASocketOrADeviceFailsAtOnce) {
    const std::string fifo = root_.Path() + "/fifo.wav";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string socketPath = root_.Path() + "/socket.wav";
    const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 1), 0);

    for (const std::string& location :
         {fifo, "file://" + fifo, socketPath, std::string("/dev/null"), std::string("/dev/zero")}) {
        SCOPED_TRACE(location);
        auto open = std::async(std::launch::async, [&] { return Open(location); });
        if (open.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            // A writer ends the blocked open, so the test can go on and report it.
            const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            open.wait();
            if (writer >= 0) {
                close(writer);
            }
            ADD_FAILURE() << "the open blocked";
            continue;
        }
        EXPECT_EQ(open.get(), PE_ERR_FILE);
        EXPECT_EQ(object_->GetState(), PE_STATE_NONE);
        EXPECT_EQ(core_->SetVolume(40), PE_OK);
    }
    close(listener);
    EXPECT_TRUE(receiver_.Notes().empty());
}

TEST_F(PlayEngineTest, OpenReplacesTheCurrentItem) {
    ASSERT_EQ(Open(WriteFile("a.wav", enginetest::WavOfMs(2000))), PE_OK);
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_EQ(Open(WriteFile("b.wav", enginetest::WavOfMs(300))), PE_OK);
    EXPECT_EQ(object_->GetState(), PE_STATE_STOPPED);
    EXPECT_EQ(object_->GetDuration(), 300);
    // A standing item is replaced silently, even by a file that fails.
    EXPECT_EQ(Open(WriteFile("c.wav", "text")), PE_ERR_FORMAT);
    ASSERT_TRUE(receiver_.WaitForCount(3));
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_EQ(receiver_.Kinds(), (std::vector<Kind>{Start, Stop, DecoderMissing}));
}

TEST_F(PlayEngineTest, PlayFailsWhenTheFileIsGoneOrSpoilt) {
    const struct {
        const char* name;
        bool remove;
        int result;
    } cases[] = {{"removed", true, PE_ERR_FILE}, {"overwritten with text", false, PE_ERR_FORMAT}};
    size_t count = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = WriteFile("item.wav", enginetest::WavOfMs(300));
        ASSERT_EQ(Open(path), PE_OK);
        if (c.remove) {
            ASSERT_EQ(unlink(path.c_str()), 0);
        } else {
            WriteFile("item.wav", "text");
        }
        EXPECT_EQ(core_->Play(), c.result);
        EXPECT_EQ(object_->GetState(), PE_STATE_NONE);
        ASSERT_TRUE(receiver_.WaitForCount(++count));
        Note note = receiver_.Notes().back();
        EXPECT_EQ(note.kind, Fail);
        EXPECT_EQ(note.arg, c.result);
    }
}

TEST_F(PlayEngineTest, ValuesPassedThroughAndQueries) {
    // Without an item.
    EXPECT_EQ(core_->QueryStatus(), PE_STATE_NONE);
    EXPECT_EQ(object_->IsActive(), 0);
    int unset = 0;
    int* data = &unset;
    int count = -1;
    object_->GetData(&data, &count);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(count, 0);
    int first = -1;
    int second = -1;
    object_->GetBufferInfo(&first, &second);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 0);

    EXPECT_EQ(core_->SetFlag(7), PE_OK);
    EXPECT_EQ(core_->SetNumberA(11), PE_OK);
    core_->SetNumberB(12);
    core_->SetNumberC(13);
    EXPECT_EQ(core_->SetNumberD(14), PE_OK);
    core_->SetNumberE(15);
    PlayBlock block;
    for (size_t i = 0; i < sizeof block.bytes; ++i) {
        block.bytes[i] = static_cast<uint8_t>(i + 1);
    }
    core_->SetBlock(&block);
    core_->SetBlock(nullptr);
    PlayQuad quad{{1, 2, 3, 4}};
    core_->SetQuad(&quad);
    core_->SetQuad(nullptr);
    EXPECT_EQ(object_->GetFlag(), 7);
    EXPECT_EQ(object_->GetNumberA(), 11);
    EXPECT_EQ(object_->GetNumberB(), 12);
    EXPECT_EQ(object_->GetNumberC(), 13);
    EXPECT_EQ(object_->GetNumberD(), 14);
    EXPECT_EQ(object_->GetNumberE(), 15);
    PlayBlock got;
    object_->GetBlock(&got);
    EXPECT_EQ(std::memcmp(got.bytes, block.bytes, sizeof got.bytes), 0);

    // Null pointers copy nothing and fail nothing.
    object_->GetBlock(nullptr);
    object_->GetTextA(nullptr);
    object_->GetTextB(nullptr);
    object_->GetTextC(nullptr);
    object_->GetTextD(nullptr);
    object_->GetData(nullptr, nullptr);
    object_->GetBufferInfo(nullptr, nullptr);
    EXPECT_EQ(core_->GetPlayObject(nullptr), PE_ERR_ARGUMENT);
    EXPECT_EQ(core_->Open(nullptr), PE_ERR_ARGUMENT);
    EXPECT_EQ(core_->Init(nullptr, 0, 0, 0), PE_ERR_ARGUMENT);

    ASSERT_EQ(Open(WriteFile("item.wav", enginetest::WavOfMs(1000))), PE_OK);
    ASSERT_EQ(core_->SetPosition(250), PE_OK);
    ASSERT_EQ(core_->SetVolume(60), PE_OK);
    const struct {
        int code;
        int answer;
    } queries[] = {{PE_QUERY_VOLUME, 60},    {PE_QUERY_STATE, PE_STATE_STOPPED},
                   {PE_QUERY_POSITION, 250}, {PE_QUERY_DURATION, 1000},
                   {PE_QUERY_BUFFER, 100},   {5, PE_QUERY_UNKNOWN},
                   {-1, PE_QUERY_UNKNOWN}};
    for (const auto& q : queries) {
        EXPECT_EQ(core_->QueryNumber(q.code), q.answer) << q.code;
    }
    EXPECT_EQ(core_->QueryStatus(), PE_STATE_STOPPED);

    // The refused Init left the receiver in place.
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_TRUE(receiver_.WaitForCount(1));
    EXPECT_EQ(receiver_.Kinds(), (std::vector<Kind>{Start}));
    EXPECT_EQ(core_->QueryStatus(), PE_STATE_PLAYING);
    EXPECT_EQ(object_->IsActive(), 1);
}

}  // namespace
