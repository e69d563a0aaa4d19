// The download engine as the P2P stub calls it: a table of the swarmget functions. The stub is
// built with a table and calls the engine only through it; the service uses SwarmgetEngine(),
// the library's own functions, and tests build the stub with a table of their own fakes.
#pragma once

#include <windows.h>

#include <string>

#include "p2p_observer.h"
#include "sign.h"

struct P2PEngineFunctions {
    bool (*StartDown)(const Sign* sign, const char* text, int* value1, int value2, int value3,
                      P2PObserver* observer, bool flag);
    void (*StopDown)(const Sign* sign, P2PObserver* observer);
    void (*DelRes)(const Sign* sign, P2PObserver* observer);
    void (*GetResInfo)(const Sign* sign, int* value, std::string* text);
    void (*EnableVIPService)(int value, bool enable, int reserved);
    void (*StopAll)();
    void (*SetSysMsgWnd)(HWND window);
};

// The functions of libswarmget.
const P2PEngineFunctions& SwarmgetEngine();
