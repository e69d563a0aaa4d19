// Commands of the test's endpoint, in the proxy's place, reach the real engines through the
// real program, and the engines' notifications come back to that endpoint: player commands on
// a WAV file the test writes, and downloads from a server on 127.0.0.1.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "byte_stream.h"
#include "download_server.h"
#include "msg_ids.h"
#include "p2p_protocol.h"
#include "player_commands.h"
#include "player_protocol.h"
#include "service_fixture.h"
#include "test_wav.h"

namespace svctest {
namespace {

const std::string kIntZero(4, '\0');

// What the play-object snapshot says of the item: its state, duration, volume and text A.
struct Snapshot {
    int state = -1;
    int duration = -1;
    int volume = -1;
    std::string textA;
    std::string textB;
};

bool ReadSnapshot(const std::string& bytes, Snapshot& out) {
    CStreamReader r;
    r.Attach(bytes.data(), bytes.data() + bytes.size());
    int result = -1;
    int skip = 0;
    BYTE flag = 0;
    PlayBlock block;
    std::string textD;
    bool ok = r.ReadInt(result) && result == 0;
    for (int i = 0; ok && i < 6; ++i) {  // F, H, buffer info a and b, G, A
        ok = r.ReadInt(skip);
    }
    ok = ok && r.ReadInt(skip) && r.ReadBlock(block) && r.ReadByte(flag) && r.ReadInt(out.volume) &&
         r.ReadInt(skip);  // B, block, flag, volume, position
    int dataBytes = 0;
    std::string data;
    ok = ok && r.ReadInt(dataBytes) && dataBytes >= 0;
    if (ok) {
        data.resize(static_cast<size_t>(dataBytes));
        ok = r.ReadRaw(data.data(), dataBytes);
    }
    return ok && r.ReadInt(out.state) && r.ReadString(textD) && r.ReadString(out.textB) &&
           r.ReadInt(skip) && r.ReadInt(out.duration) && r.ReadString(out.textA);
}

class RoadTest : public ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        // A client runs, so the client watch leaves the engine alone.
        ASSERT_GT(StartClient("BRDJ", "BRDJ.exe"), 0);
        ASSERT_GT(StartAnswering(InstalledProgram()), 0);
    }

    Reply Player(const std::string& payload) { return endpoint_.Call(CHANNEL_PLAYER, payload); }
    bool WaitForPlayer(int id, int count = 1) {
        return endpoint_.WaitFor(
            [&](const auto& m) { return CountOf(m, CHANNEL_PLAYER, id) >= count; }, kStartMs);
    }
};

TEST_F(RoadTest, PlayerCommandsReachTheEngineAndItsNotificationsComeBack) {
    const std::string song = root_.Path() + "/song.wav";
    ASSERT_TRUE(brtest::WriteFile(song, wavtest::WavOfMs(30000)));

    EXPECT_EQ(Player(OpenCommand(song)).bytes, kIntZero);
    EXPECT_EQ(Player(IntBytes(PLAYER_CMD_PLAY)).bytes, kIntZero);
    ASSERT_TRUE(WaitForPlayer(PLAYER_NOTIFY_PLAY_START));

    CStreamWriter volume;
    volume.WriteCmdInt(PLAYER_CMD_SET_VOLUME, 40);
    EXPECT_EQ(Player(Bytes(volume)).bytes, kIntZero);
    Reply object = Player(IntBytes(PLAYER_CMD_GET_PLAY_OBJECT));
    Snapshot snapshot;
    ASSERT_TRUE(ReadSnapshot(object.bytes, snapshot)) << object.bytes.size() << " bytes";
    EXPECT_EQ(snapshot.state, 3);  // playing
    EXPECT_EQ(snapshot.duration, 30000);
    EXPECT_EQ(snapshot.volume, 40);
    EXPECT_EQ(snapshot.textA, song);
    EXPECT_EQ(snapshot.textB, "title");

    EXPECT_EQ(Player(IntBytes(PLAYER_CMD_PAUSE)).bytes, kIntZero);
    ASSERT_TRUE(WaitForPlayer(PLAYER_NOTIFY_PLAY_PAUSE));
    EXPECT_EQ(Player(IntBytes(PLAYER_CMD_STOP)).bytes, kIntZero);
    ASSERT_TRUE(WaitForPlayer(PLAYER_NOTIFY_PLAY_STOP));
    EXPECT_EQ(Player(IntBytes(PLAYER_CMD_QUERY_STATUS)).bytes, IntBytes(1));  // stopped

    std::vector<std::string> notes;
    for (const Received& m : endpoint_.Messages()) {
        if (m.channel == CHANNEL_PLAYER) {
            notes.push_back(m.bytes);
        }
    }
    std::string paused = IntBytes(PLAYER_NOTIFY_PLAY_PAUSE) + std::string(1, '\x01');
    EXPECT_EQ(notes, (std::vector<std::string>{IntBytes(PLAYER_NOTIFY_PLAY_START), paused,
                                               IntBytes(PLAYER_NOTIFY_PLAY_STOP)}));
}

TEST_F(RoadTest, TheEnginesFailuresComeBackAsReplyAndNotification) {
    const std::string text = root_.Path() + "/not_a_song.wav";
    ASSERT_TRUE(brtest::WriteFile(text, "this is no wave file"));

    // Missing file: 2 and no notification; not a WAV: 3 and NotifyDecoderMissing.
    EXPECT_EQ(Player(OpenCommand(root_.Path() + "/missing.wav")).bytes, IntBytes(2));
    EXPECT_EQ(Player(OpenCommand(text)).bytes, IntBytes(3));
    ASSERT_TRUE(WaitForPlayer(PLAYER_NOTIFY_DECODER_MISSING));
    EXPECT_EQ(Player(IntBytes(PLAYER_CMD_PLAY)).bytes, IntBytes(1));  // no item
    EXPECT_EQ(endpoint_.Messages().size(), 1u);
}

// A P2P notification of the test's endpoint: its id and Sign, and its int (slot 3's code).
struct P2PNote {
    int id = -1;
    Sign sign;
    int value = 0;
    std::string text;
};

std::vector<P2PNote> P2PNotes(const std::vector<Received>& messages) {
    std::vector<P2PNote> notes;
    for (const Received& m : messages) {
        if (m.channel != CHANNEL_P2P) {
            continue;
        }
        CStreamReader r;
        r.Attach(m.bytes.data(), m.bytes.data() + m.bytes.size());
        P2PNote note;
        r.ReadInt(note.id);
        if (note.id == P2P_NOTIFY_1) {
            r.ReadSignStringInt(note.sign, note.text, note.value);
        } else {
            r.ReadSignInt(note.sign, note.value);
        }
        notes.push_back(note);
    }
    return notes;
}

std::vector<int> Ids(const std::vector<P2PNote>& notes) {
    std::vector<int> ids;
    for (const P2PNote& note : notes) {
        if (note.id != P2P_NOTIFY_4) {  // progress comes as often as the engine likes
            ids.push_back(note.id);
        }
    }
    return ids;
}

TEST_F(RoadTest, ADownloadIsReportedToTheEndpointAndItsFileIsInTheCache) {
    DownloadServer server;
    ASSERT_TRUE(server.Listening());
    const Sign sign(11, 22);
    CStreamWriter start;
    start.WriteStartDown(P2P_CMD_START_DOWN, sign, server.Url("/file").c_str(), 1, 2, 3, 99, 0);
    Reply accepted = endpoint_.Call(CHANNEL_P2P, Bytes(start));
    EXPECT_EQ(accepted.bytes, std::string(1, '\x01'));

    ASSERT_TRUE(endpoint_.WaitFor(
        [](const auto& m) { return CountOf(m, CHANNEL_P2P, P2P_NOTIFY_2) == 1; }, kStartMs));
    std::vector<P2PNote> notes = P2PNotes(endpoint_.Messages());
    EXPECT_EQ(Ids(notes), (std::vector<int>{P2P_NOTIFY_1, P2P_NOTIFY_5, P2P_NOTIFY_2}));
    for (const P2PNote& note : notes) {
        EXPECT_TRUE(note.sign == sign) << "notification " << note.id;
    }
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes[0].value, static_cast<int>(kFileSize));
    const std::string file = notes[0].text;

    CStreamWriter info;
    info.WriteCmdSign(P2P_CMD_GET_RES_INFO, sign);
    Reply reply = endpoint_.Call(CHANNEL_P2P, Bytes(info));
    CStreamWriter expected;
    expected.WriteIntString(100, file.c_str());
    EXPECT_EQ(reply.bytes, Bytes(expected));
    EXPECT_EQ(brtest::ReadFile(file), FileBody());
}

TEST_F(RoadTest, AFailedDownloadIsReportedWithTheServersStatus) {
    DownloadServer server;
    ASSERT_TRUE(server.Listening());
    const Sign sign(33, 44);
    CStreamWriter start;
    start.WriteStartDown(P2P_CMD_START_DOWN, sign, server.Url("/missing").c_str(), 1, 2, 3, 0, 0);
    EXPECT_EQ(endpoint_.Call(CHANNEL_P2P, Bytes(start)).bytes, std::string(1, '\x01'));

    ASSERT_TRUE(endpoint_.WaitFor(
        [](const auto& m) { return CountOf(m, CHANNEL_P2P, P2P_NOTIFY_2) == 1; }, kStartMs));
    std::vector<P2PNote> notes = P2PNotes(endpoint_.Messages());
    EXPECT_EQ(Ids(notes), (std::vector<int>{P2P_NOTIFY_3, P2P_NOTIFY_2}));
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes[0].value, 404);
    EXPECT_TRUE(notes[0].sign == sign);

    // A text that names no HTTP resource is refused at once: the reply byte is 0.
    CStreamWriter refused;
    refused.WriteStartDown(P2P_CMD_START_DOWN, Sign(5, 6), "ftp://example/x", 1, 2, 3, 0, 0);
    EXPECT_EQ(endpoint_.Call(CHANNEL_P2P, Bytes(refused)).bytes, std::string(1, '\0'));
}

}  // namespace
}  // namespace svctest
