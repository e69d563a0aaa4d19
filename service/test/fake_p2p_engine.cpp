#include "fake_p2p_engine.h"

#include <cstdint>
#include <mutex>

namespace servicetest {
namespace fakep2p {
namespace {

struct State {
    std::mutex mu;
    std::vector<P2PCall> calls;
    bool startDownResult = true;
    int resInfoValue = 0;
    std::string resInfoText;
};

State& TheState() {
    static State* state = new State;
    return *state;
}

std::string SignText(const Sign* sign) {
    if (!sign) {
        return "null";
    }
    return std::to_string(sign->first) + ":" + std::to_string(sign->second);
}

void Record(const std::string& text, const P2PObserver* observer = nullptr) {
    State& state = TheState();
    std::lock_guard<std::mutex> guard(state.mu);
    state.calls.push_back({text, observer});
}

bool StartDown(const Sign* sign, const char* text, int* value1, int value2, int value3,
               P2PObserver* observer, bool flag) {
    Record("StartDown(" + SignText(sign) + ",'" + (text ? text : "(null)") + "'," +
               (value1 ? std::to_string(*value1) : "null") + "," + std::to_string(value2) + "," +
               std::to_string(value3) + "," + (flag ? "true" : "false") + ")",
           observer);
    // The engine may write through value1; the stub must not care.
    if (value1) {
        *value1 = -77;
    }
    State& state = TheState();
    std::lock_guard<std::mutex> guard(state.mu);
    return state.startDownResult;
}

void StopDown(const Sign* sign, P2PObserver* observer) {
    Record("StopDown(" + SignText(sign) + ")", observer);
}

void DelRes(const Sign* sign, P2PObserver* observer) {
    Record("DelRes(" + SignText(sign) + ")", observer);
}

void GetResInfo(const Sign* sign, int* value, std::string* text) {
    Record("GetResInfo(" + SignText(sign) + "," + (value ? std::to_string(*value) : "null") + ",'" +
           (text ? *text : "(null)") + "')");
    State& state = TheState();
    std::lock_guard<std::mutex> guard(state.mu);
    if (value) {
        *value = state.resInfoValue;
    }
    if (text) {
        *text = state.resInfoText;
    }
}

void EnableVIPService(int value, bool enable, int reserved) {
    Record("EnableVIPService(" + std::to_string(value) + "," + (enable ? "true" : "false") + "," +
           std::to_string(reserved) + ")");
}

void StopAll() {
    Record("StopAll()");
}

void SetSysMsgWnd(HWND window) {
    Record("SetSysMsgWnd(" + std::to_string(reinterpret_cast<intptr_t>(window)) + ")");
}

}  // namespace

const P2PEngineFunctions& Functions() {
    static const P2PEngineFunctions functions = {
        &StartDown, &StopDown, &DelRes, &GetResInfo, &EnableVIPService, &StopAll, &SetSysMsgWnd,
    };
    return functions;
}

void Reset() {
    State& state = TheState();
    std::lock_guard<std::mutex> guard(state.mu);
    state.calls.clear();
    state.startDownResult = true;
    state.resInfoValue = 0;
    state.resInfoText.clear();
}

std::vector<P2PCall> Calls() {
    State& state = TheState();
    std::lock_guard<std::mutex> guard(state.mu);
    return state.calls;
}

std::vector<std::string> CallTexts() {
    std::vector<std::string> out;
    for (const P2PCall& call : Calls()) {
        out.push_back(call.text);
    }
    return out;
}

void SetStartDownResult(bool accepted) {
    State& state = TheState();
    std::lock_guard<std::mutex> guard(state.mu);
    state.startDownResult = accepted;
}

void SetResInfo(int value, const std::string& text) {
    State& state = TheState();
    std::lock_guard<std::mutex> guard(state.mu);
    state.resInfoValue = value;
    state.resInfoText = text;
}

}  // namespace fakep2p
}  // namespace servicetest
