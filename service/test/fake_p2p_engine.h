// Test support: a download engine of the test's own, as a table of plain functions that the P2P
// stub is built with. Every call is recorded, in order, as its name and arguments; the answers
// of StartDown and GetResInfo are set by the test. The engine is process-wide, as a library of
// plain functions is.
#pragma once

#include <string>
#include <vector>

#include "p2p_engine.h"

namespace servicetest {

struct P2PCall {
    // "StartDown(1:2,'text',0,0,3,false)", "StopDown(1:2)", "SetSysMsgWnd(4660)", ...
    std::string text;
    // The observer handed to StartDown, StopDown or DelRes; null for the others.
    const P2PObserver* observer;
};

namespace fakep2p {

// The table to build the stub with.
const P2PEngineFunctions& Functions();

// Forgets the calls and sets the answers back: StartDown true, GetResInfo 0 and "".
void Reset();
std::vector<P2PCall> Calls();
std::vector<std::string> CallTexts();
void SetStartDownResult(bool accepted);
void SetResInfo(int value, const std::string& text);

}  // namespace fakep2p
}  // namespace servicetest
