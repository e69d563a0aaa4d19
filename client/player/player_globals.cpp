// g_PlayerCore and g_MediaPlay, the player wrapper and the notification receiver.
// A program that defines these globals itself, in its own order (BRDJ, in
// client/app/program_globals.cpp, which fixes the order of the program's six globals), never
// links this file: it holds nothing else, so the linker takes it from the library only for a
// program or test without its own definition.
#include "media_play.h"
#include "player_ctrl.h"

CPlayerCtrl g_PlayerCore;
CMediaPlay g_MediaPlay;
