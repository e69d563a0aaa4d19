#include "item_location.h"

#include <gtest/gtest.h>

namespace {

TEST(ItemLocationTest, PathsAndFileAddresses) {
    const struct {
        const char* location;
        std::optional<std::string> path;
    } cases[] = {
        {"/music/a.wav", "/music/a.wav"},
        {"music/a.wav", "music/a.wav"},
        {"/odd/na:me://x.wav", "/odd/na:me://x.wav"},
        {"my music://a.wav", "my music://a.wav"},  // a space cannot be part of a scheme
        {"file:///music/a%20b.wav", "/music/a b.wav"},
        {"file:///music/%E4%B8%AD.wav", "/music/\xE4\xB8\xAD.wav"},
        {"FILE://LocalHost/music/a.wav", "/music/a.wav"},
        {"file:/music/a.wav", "/music/a.wav"},
        {"file:///", "/"},
        {"", std::nullopt},
        {"file://otherhost/music/a.wav", std::nullopt},
        {"file://", std::nullopt},
        {"file:a.wav", std::nullopt},
        {"http://host/a.wav", std::nullopt},
        {"p2p+x://a", std::nullopt},
        {"file:///a%2", std::nullopt},
        {"file:///a%", std::nullopt},
        {"file:///a%zzb", std::nullopt},
        {"file:///a%00b", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.location);
        EXPECT_EQ(LocationToPath(c.location), c.path);
    }
}

TEST(ItemLocationTest, StreamAddresses) {
    const struct {
        const char* location;
        bool stream;
    } cases[] = {
        {"http://127.0.0.1:8080/a.mp3", true},
        {"HTTPS://host/a.ogg", true},
        {"http://host", true},
        {"http:///a.mp3", false},
        {"http://", false},
        {"ftp://host/a.mp3", false},
        {"file:///a.mp3", false},
        {"/music/http://a.mp3", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsStreamAddress(c.location), c.stream) << c.location;
    }
}

}  // namespace
