// The control socket's server: one listening socket per process in the control folder of the
// runtime root, and the thread that accepts connections and answers their requests, one line
// each (control_requests.h), in the order they come.
#pragma once

#include <string>

namespace pal::control {

// Serves the socket in root, starting the thread on the first call and moving the socket when
// the root is another than before. Nothing when the socket cannot be made (the program runs on
// without it; the reason goes to standard error once).
void ServeIn(const std::string& root);

// The path served now; empty before.
std::string ServedPath();

}  // namespace pal::control
