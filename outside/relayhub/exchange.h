// One call on one connection: send the call frame, then read until the reply with the call's
// sequence number. Replies of earlier sequence numbers are stale and dropped.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame.h"
#include "wait.h"

namespace relayhub {

// waiter null: an ordinary thread, which without a deadline blocks in the socket calls.
// *reusable tells whether the connection is clean for another call afterwards.
HRESULT Exchange(int fd, const uint8_t* header, const void* payload, size_t length,
                 uint64_t sequence, const Deadline& deadline, Waiter* waiter, Frame* reply,
                 bool* reusable);

}  // namespace relayhub
