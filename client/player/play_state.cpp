#include "play_state.h"

CPlayStateHolder* g_pMainDlg = nullptr;
