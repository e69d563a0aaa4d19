// The program's six globals, in the order in which they are built; each registers its
// destructor right after it is built, so they are destroyed in the reverse order. This file is
// linked into the program itself (not through a library), so its definitions are the program's
// and the libraries' own definitions of the last four are never linked.
#include "program_globals.h"
#include "brdj_app.h"
#include "debug_log.h"
#include "dir_and_ini.h"
#include "media_play.h"
#include "player_ctrl.h"

CBRDJApp theApp;
std::string g_strSwfPath;
CDebugLog g_Log;
CPlayerCtrl g_PlayerCore;
CMediaPlay g_MediaPlay;
std::string g_strWorkDir;
