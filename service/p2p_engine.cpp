#include "p2p_engine.h"

#include "swarmget.h"

const P2PEngineFunctions& SwarmgetEngine() {
    static const P2PEngineFunctions engine = {
        &::StartDown,        &::StopDown, &::DelRes,       &::GetResInfo,
        &::EnableVIPService, &::StopAll,  &::SetSysMsgWnd,
    };
    return engine;
}
