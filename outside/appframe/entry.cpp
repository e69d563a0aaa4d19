// The program entry of a framework program: link appframe_entry and define one application
// object.
#include "app.h"
#include "windows.h"

PAL_WINMAIN(AfxWinMain)
