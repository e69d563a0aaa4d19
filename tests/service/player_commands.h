// Test support: the bytes of the player commands the tests send in the proxy's place.
#pragma once

#include <string>

namespace svctest {

// A command or value of one int.
std::string IntBytes(int value);
// PLAYER_CMD_OPEN with the file at path as the item.
std::string OpenCommand(const std::string& path);

}  // namespace svctest
