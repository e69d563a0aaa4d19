// The demo files of the installation: the DJ track as written (its FLAC stream information and
// title tag, and the beat in its samples) and the two movies as the control's reader reads them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <variant>

#include "dj_track_samples.h"
#include "movie.h"
#include "movie_folder.h"
#include "movie_player.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

uint32_t BigEndian(const std::string& s, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) {
        v = v << 8 | static_cast<uint8_t>(s[at + i]);
    }
    return v;
}
uint32_t LittleEndian32(const std::string& s, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = v << 8 | static_cast<uint8_t>(s[at + i]);
    }
    return v;
}

// The FLAC file's stream information and its comments ("TITLE=...").
struct FlacInfo {
    uint32_t rate = 0;
    uint32_t channels = 0;
    uint64_t frames = 0;
    std::vector<std::string> comments;
};

bool ReadFlac(const std::string& file, FlacInfo* info) {
    if (file.compare(0, 4, "fLaC") != 0) {
        return false;
    }
    size_t at = 4;
    bool last = false;
    while (!last && at + 4 <= file.size()) {
        last = (file[at] & 0x80) != 0;
        const int type = file[at] & 0x7F;
        const uint32_t length = BigEndian(file, at + 1, 3);
        const size_t body = at + 4;
        if (body + length > file.size()) {
            return false;
        }
        if (type == 0 && length >= 18) {
            info->rate = BigEndian(file, body + 10, 3) >> 4;
            info->channels = ((static_cast<uint8_t>(file[body + 12]) >> 1) & 7) + 1;
            info->frames = (static_cast<uint64_t>(file[body + 13] & 0x0F) << 32) |
                           BigEndian(file, body + 14, 4);
        } else if (type == 4) {
            size_t p = body + 4 + LittleEndian32(file, body);  // past the vendor text
            const uint32_t count = LittleEndian32(file, p);
            p += 4;
            for (uint32_t i = 0; i < count && p + 4 <= body + length; ++i) {
                const uint32_t n = LittleEndian32(file, p);
                info->comments.push_back(file.substr(p + 4, n));
                p += 4 + n;
            }
        }
        at = body + length;
    }
    return true;
}

TEST(DemoTrack, IsAMinuteOfStereoFlacWithItsTitle) {
    FlacInfo info;
    ASSERT_TRUE(ReadFlac(ReadAll(DEMO_TRACK_PATH), &info));
    EXPECT_EQ(info.rate, static_cast<uint32_t>(demo::kRate));
    EXPECT_EQ(info.channels, static_cast<uint32_t>(demo::kChannels));
    EXPECT_EQ(info.frames, static_cast<uint64_t>(demo::kFrames));
    EXPECT_GE(demo::kTrackMs, 62000);  // long enough to seek to 61.5 s
    EXPECT_THAT(info.comments, ::testing::Contains(std::string("TITLE=") + DEMO_TRACK_TITLE));
}

double Energy(const std::vector<int16_t>& s, int firstFrame, int frames) {
    double sum = 0;
    for (int i = firstFrame; i < firstFrame + frames; ++i) {
        sum += static_cast<double>(s[2 * i]) * s[2 * i];
    }
    return sum / frames;
}

// Each beat starts with a kick that has died away before the next; the bass fills the gaps once
// it comes in; the last samples fade to silence.
TEST(DemoTrack, HasABeatABassAndAFadeOut) {
    const std::vector<int16_t> s = demo::DjTrackSamples();
    ASSERT_EQ(s.size(), static_cast<size_t>(demo::kFrames) * demo::kChannels);
    const int window = demo::kRate / 50;
    for (int beat = 0; beat < 8; ++beat) {  // the intro: kick only
        const int start = beat * demo::kSamplesPerBeat;
        SCOPED_TRACE(beat);
        EXPECT_GT(Energy(s, start, window),
                  50 * Energy(s, start + demo::kSamplesPerBeat - window, window));
    }
    const int barFrames = 4 * demo::kSamplesPerBeat;
    const int gap = demo::kSamplesPerBeat - window;  // the quiet end of a beat
    EXPECT_GT(Energy(s, 5 * barFrames + gap, window), 20 * Energy(s, 0 * barFrames + gap, window));
    EXPECT_LT(Energy(s, demo::kFrames - window, window),
              1e-3 * Energy(s, 5 * barFrames, barFrames));
}

std::string Name(const std::string& request) {
    const size_t at = request.find("name=\"");
    return at == std::string::npos ? ""
                                   : request.substr(at + 6, request.find('"', at + 6) - at - 6);
}

flash::Movie Read(const std::string& file) {
    const flash::MovieLoad load = flash::ReadMovieFile(std::string(BR_BIN_DIR) + "/" + file);
    EXPECT_TRUE(load.ok) << file << ": " << flash::DescribeError(load.error);
    return load.movie;
}

// The start movie opens the track and is a player: every live value and every button a person
// needs, inside the control's area.
TEST(DemoMovies, TheLoadingMovieIsAPlayer) {
    const flash::Movie movie = Read("loadingVer.swf");
    std::vector<std::string> calls, labels;
    std::set<std::string> lives, buttons;
    std::multiset<std::string> buttonCalls;
    for (const flash::Statement& s : movie.statements) {
        if (const auto* c = std::get_if<flash::Call>(&s)) {
            calls.push_back(c->request);
        } else if (const auto* l = std::get_if<flash::Label>(&s)) {
            labels.push_back(l->text);
        } else if (const auto* live = std::get_if<flash::LiveLabel>(&s)) {
            lives.insert(Name(live->request));
        } else if (const auto* b = std::get_if<flash::Button>(&s)) {
            buttons.insert(b->request);
            buttonCalls.insert(Name(b->request));
            EXPECT_TRUE(b->x >= 0 && b->y >= 0 && b->x + b->width <= 814 && b->y + b->height <= 580)
                << b->text;
        }
    }
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(Name(calls[1]), "BROpenMusic");
    EXPECT_NE(calls[1].find("<string>{movie-folder}/" DEMO_TRACK_FILE "</string>"),
              std::string::npos);
    EXPECT_THAT(labels, ::testing::Contains(::testing::HasSubstr(DEMO_TRACK_TITLE)));
    EXPECT_THAT(lives, ::testing::IsSupersetOf({"BRGetCurrentPosition", "BRGetDuration",
                                                "BRGetBufferingProgress", "BRGetPlayState"}));
    for (const char* name : {"BRPlayMusic", "BRPauseMusic", "BRResumeMusic", "BRStopMusic"}) {
        EXPECT_EQ(buttonCalls.count(name), 1u) << name;
    }
    EXPECT_GE(buttonCalls.count("BRSetVolume"), 2u);
    EXPECT_GE(buttonCalls.count("BRSetCurrentPosition"), 2u);
    EXPECT_EQ(buttons.size(), buttonCalls.size());  // no two buttons make the same call
}

// A person watches the start movie for as long as it is shown: once its script has run, its live
// labels keep asking for the values they show.
TEST(DemoMovies, TheLoadingMoviesLiveLabelsKeepPollingAfterItsScript) {
    struct Host : flash::CallHost {
        std::optional<std::string> FlashCall(const std::string&) override {
            return "<number>7</number>";
        }
    } host;
    flash::MoviePlayer player(Read("loadingVer.swf"), &host, 0);
    player.Step(0);
    ASSERT_TRUE(player.Ended());
    const size_t before = player.Transcript().size();
    EXPECT_TRUE(player.Step(5000).has_value()) << "nothing left to poll";
    std::set<std::string> asked;
    for (size_t i = before; i < player.Transcript().size(); ++i)
        asked.insert(Name(player.Transcript()[i].request));
    EXPECT_THAT(asked, ::testing::IsSupersetOf({"BRGetCurrentPosition", "BRGetPlayState"}));
    bool shown = false;
    for (const flash::ShownItem& item : player.Shown())
        shown = shown || (item.live && item.text.find('7') != std::string::npos);
    EXPECT_TRUE(shown);
}

// Neither movie holds a path of the build: the track is named in the folder the movie was
// loaded from, where the installation has it, wherever the installation lies.
TEST(DemoMovies, NameTheTrackInTheirOwnFolderAndNoPathOfTheBuild) {
    for (const char* file : {"loadingVer.swf", "brdj_demo.swf"}) {
        SCOPED_TRACE(file);
        const std::string text = ReadAll(std::string(BR_BIN_DIR) + "/" + file);
        ASSERT_FALSE(text.empty());
        for (const char* path : {BR_BIN_DIR, BR_BUILD_DIR, BR_SOURCE_DIR}) {
            EXPECT_EQ(text.find(path), std::string::npos) << path;
        }
        flash::Movie movie = Read(file);
        flash::PlaceMovieFolder(&movie, flash::MovieFolder(std::string(BR_BIN_DIR) + "/" + file));
        bool opens = false;
        for (const flash::Statement& s : movie.statements) {
            if (const auto* c = std::get_if<flash::Call>(&s);
                c && Name(c->request) == "BROpenMusic") {
                opens = true;
                EXPECT_NE(c->request.find("<string>" DEMO_TRACK_PATH "</string>"),
                          std::string::npos)
                    << c->request;
            }
        }
        EXPECT_TRUE(opens);
        EXPECT_EQ(movie.stageWidth, 814);
        EXPECT_EQ(movie.stageHeight, 580);
    }
}

// The demo movie goes through the whole road in order and ends.
TEST(DemoMovies, TheDemoMoviePlaysTheTrackToTheEnd) {
    const flash::Movie movie = Read("brdj_demo.swf");
    std::vector<std::string> names;
    for (const flash::Statement& s : movie.statements) {
        if (const auto* c = std::get_if<flash::Call>(&s)) {
            names.push_back(Name(c->request));
        } else if (const auto* p = std::get_if<flash::Poll>(&s)) {
            names.push_back(Name(p->request) + " until " + p->until);
        }
    }
    ASSERT_FALSE(movie.statements.empty());
    EXPECT_TRUE(std::holds_alternative<flash::End>(movie.statements.back()));
    EXPECT_THAT(names, ::testing::IsSupersetOf({"BROpenMusic", "BRGetDuration", "BRGetVolume",
                                                "BRGetBufferingProgress"}));
    const std::vector<std::string> road = {
        "BROpenMusic",   "BRSetVolume",
        "BRPlayMusic",   "BRGetPlayState until <number>3</number>",
        "BRPauseMusic",  "BRGetPlayState until <number>2</number>",
        "BRResumeMusic", "BRSetCurrentPosition",
        "BRGetVolume",   "BRGetPlayState until <number>1</number>"};
    size_t next = 0;
    for (const std::string& name : names) {
        if (next < road.size() && name == road[next]) {
            ++next;
        }
    }
    EXPECT_EQ(next, road.size()) << "missing from the road: "
                                 << road[std::min(next, road.size() - 1)];
}

}  // namespace
