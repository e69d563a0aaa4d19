// The player commands 1 to 19 as the service executes them: a constant table of entries, each
// reading its fields (preset to their defaults), calling the core and building the reply.
#pragma once

#include "player_core.h"
#include "relayhub.h"

class CStreamReader;

// Executes `command` with the fields the reader has left; replies go through
// g_ServiceMsgCenter. Numbers without an entry (2, 0, negative, above 19) do nothing.
void RunPlayerCommand(int command, IPlayerCore& core, CStreamReader& reader, CallMsgRecord* record);
