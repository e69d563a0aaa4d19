// The control socket's requests: one line in, the answer out (the protocol is in README.md).
#pragma once

#include <string>

namespace pal::control {

// The whole answer to one request line (without its newline): the data lines, then "OK" or
// "ERR <reason>", each ending in a newline. Never throws, whatever the line holds.
std::string Answer(const std::string& line);

}  // namespace pal::control
