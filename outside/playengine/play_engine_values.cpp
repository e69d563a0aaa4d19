// The commands that only store a value for the play object, and the two queries.
#include "play_engine.h"

int CPlayEngine::SetFlag(BYTE flag) {
    std::lock_guard lock(mu_);
    values_.flag = flag;
    return PE_OK;
}

int CPlayEngine::SetNumberA(int value) {
    std::lock_guard lock(mu_);
    values_.numberA = value;
    return PE_OK;
}

// The record has no meaning for this player; it is accepted and dropped.
void CPlayEngine::SetQuad(PlayQuad* /*quad*/) {}

void CPlayEngine::SetNumberB(int value) {
    std::lock_guard lock(mu_);
    values_.numberB = value;
}

void CPlayEngine::SetNumberC(int value) {
    std::lock_guard lock(mu_);
    values_.numberC = value;
}

void CPlayEngine::SetBlock(PlayBlock* block) {
    if (!block) {
        return;
    }
    std::lock_guard lock(mu_);
    values_.block = *block;
}

int CPlayEngine::SetNumberD(int value) {
    std::lock_guard lock(mu_);
    values_.numberD = value;
    return PE_OK;
}

void CPlayEngine::SetNumberE(int value) {
    std::lock_guard lock(mu_);
    values_.numberE = value;
}

int CPlayEngine::QueryNumber(int code) {
    return Read([code](const EngineValues& values) {
        switch (code) {
            case PE_QUERY_VOLUME:
                return values.volume;
            case PE_QUERY_STATE:
                return values.state;
            case PE_QUERY_POSITION:
                return values.positionMs;
            case PE_QUERY_DURATION:
                return values.item.durationMs;
            case PE_QUERY_BUFFER:
                return BufferProgress(values);
            default:
                return PE_QUERY_UNKNOWN;
        }
    });
}

int CPlayEngine::QueryStatus() {
    return Read([](const EngineValues& values) { return values.state; });
}
