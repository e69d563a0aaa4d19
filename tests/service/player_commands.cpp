#include "player_commands.h"

#include <cstdio>

#include "byte_stream.h"
#include "player_protocol.h"
#include "test_endpoint.h"

namespace svctest {

std::string IntBytes(int value) {
    CStreamWriter w;
    w.WriteInt(value);
    return Bytes(w);
}

std::string OpenCommand(const std::string& path) {
    PlayRequest request;
    std::snprintf(request.itemText1, sizeof request.itemText1, "%s", path.c_str());
    std::snprintf(request.itemText2, sizeof request.itemText2, "%s", "title");
    CStreamWriter w;
    w.WriteCmdPlayRequest(PLAYER_CMD_OPEN, request);
    return Bytes(w);
}

}  // namespace svctest
