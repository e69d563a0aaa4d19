// Streams from a server on 127.0.0.1: a slow one buffers up to 100 and plays to its end; a
// missing one fails the open; one that stops halfway fails the play.
#include <gtest/gtest.h>

#include <vector>

#include "output_fixture.h"
#include "stream_server.h"

namespace {

using namespace enginetest;
using enginetest::Mode;
using enginetest::StreamServer;

constexpr int kTrackMs = 2000;
constexpr int kRate = 8000;  // mono 16-bit: 16 kB a second

class StreamTest : public OutputTest {
protected:
    std::string Track() {
        std::string path = root_.Path() + "/song.wav";
        EXPECT_TRUE(MakeTone(Format::Wav, path, kTrackMs, 440, kRate, 1));
        return brtest::ReadFile(path);
    }
    std::vector<int> Progress() {
        std::vector<int> values;
        for (const Note& note : receiver_.Notes()) {
            if (note.kind == Buffer) {
                values.push_back(note.arg);
            }
        }
        return values;
    }
};

TEST_F(StreamTest, ASlowStreamBuffersUpToFullAndPlaysToItsEnd) {
    // 4 kB every 100 ms: faster than it plays, slower than it is read.
    StreamServer server(Track(), Mode::Serve, 4096, milliseconds(100));
    ASSERT_EQ(Open(server.Address("song.wav")), PE_OK);
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_TRUE(receiver_.WaitFor(End, milliseconds(15000)));
    EXPECT_EQ(receiver_.PlayKinds(), (std::vector<Kind>{Start, End}));
    std::vector<int> progress = Progress();
    ASSERT_FALSE(progress.empty());
    EXPECT_LT(progress.front(), 100);
    EXPECT_EQ(progress.back(), 100);
    for (int value : progress) {
        EXPECT_GE(value, 0);
        EXPECT_LE(value, 100);
    }
    int first = -1;
    int second = -1;
    object_->GetBufferInfo(&first, &second);
    EXPECT_EQ(first, 100);
    EXPECT_EQ(core_->QueryNumber(PE_QUERY_BUFFER), 100);
    EXPECT_NEAR(Output().Ms(), kTrackMs, 20);
}

TEST_F(StreamTest, AMissingStreamFailsTheOpen) {
    StreamServer server("", Mode::Missing, 0, milliseconds(0));
    EXPECT_EQ(Open(server.Address("song.mp3")), PE_ERR_FILE);
    EXPECT_EQ(object_->GetState(), PE_STATE_NONE);
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_EQ(receiver_.PlayKinds(), std::vector<Kind>{});
}

TEST_F(StreamTest, AStreamThatStopsHalfwayFailsThePlay) {
    StreamServer server(Track(), Mode::StopHalfway, 4096, milliseconds(20));
    ASSERT_EQ(Open(server.Address("song.wav")), PE_OK);
    ASSERT_EQ(core_->Play(), PE_OK);
    ASSERT_TRUE(receiver_.WaitFor(Start, milliseconds(15000)));
    server.StopHalfway();
    ASSERT_TRUE(receiver_.WaitFor(Fail, milliseconds(15000)));
    std::vector<Note> notes = receiver_.Notes();
    auto failed = std::find_if(notes.begin(), notes.end(),
                               [](const Note& note) { return note.kind == Fail; });
    EXPECT_EQ(failed->arg, PE_ERR_FILE);
    EXPECT_EQ(receiver_.PlayKinds(), (std::vector<Kind>{Start, Fail}));
    EXPECT_EQ(object_->GetState(), PE_STATE_NONE);
    EXPECT_LT(Output().Ms(), kTrackMs);
}

}  // namespace
