// CBRDJApp: the client's application object. Its InitInstance is the whole life of the program:
// the single-instance test, the framework's set-up, the main window run modally; it always
// returns FALSE, so the framework's message pump never runs and its exit follows.
#pragma once

#include "appframe.h"

class CBRDJApp : public CWinAppEx {
public:
    CBRDJApp();
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

// The one application object (program_globals.cpp).
extern CBRDJApp theApp;
