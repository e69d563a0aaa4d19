// A player core for the wrapper's tests: it records every call in order ("Play",
// "SetVolume(80)", "GetPlayObject", "GetNumberH", ...), keeps the last request's bytes, answers
// each command with `result`, and hands out its play object with the values the test sets
// (objectResult non-zero or withObject false: no object).
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "idle_player_core.h"

namespace playertest {

struct RecordingPlayObject final : public IPlayObject {
    int GetVolume() override { return Note("GetVolume", volume); }
    BYTE GetFlag() override { return 0; }
    void GetBlock(PlayBlock*) override {}
    int GetNumberA() override { return Note("GetNumberA", numberA); }
    int GetNumberB() override { return Note("GetNumberB", numberB); }
    void GetTextA(char*) override {}
    void GetTextB(char*) override {}
    void GetTextC(char*) override {}
    void GetTextD(char*) override {}
    int GetNumberC() override { return 0; }
    int GetNumberD() override { return 0; }
    int GetNumberE() override { return 0; }
    int GetDuration() override { return Note("GetDuration", duration); }
    int GetState() override { return 0; }
    int GetPosition() override { return Note("GetPosition", position); }
    void GetData(int**, int*) override {}
    int GetNumberF() override { return 0; }
    BYTE IsActive() override { return 0; }
    int GetNumberG() override { return 0; }
    void GetBufferInfo(int* first, int* second) override {
        Note("GetBufferInfo", 0);
        *first = bufferFirst;
        *second = bufferSecond;
    }
    int GetNumberH() override { return Note("GetNumberH", numberH); }

    int Note(const char* call, int value) {
        calls->push_back(call);
        return value;
    }

    std::vector<std::string>* calls = nullptr;
    int volume = 0, numberA = 0, numberB = 0, numberH = 0, duration = 0, position = 0;
    int bufferFirst = 0, bufferSecond = 0;
};

class RecordingPlayerCore final : public brtest::IdlePlayerCore {
public:
    RecordingPlayerCore() { object.calls = &calls; }

    int Init(IMediaCallback* receiver, int a, int b, int c) override {
        initReceiver = receiver;
        return Note("Init(" + std::to_string(a) + "," + std::to_string(b) + "," +
                    std::to_string(c) + ")");
    }
    int Open(PlayRequest* request) override {
        std::memcpy(requestBytes, request, sizeof requestBytes);
        return Note("Open");
    }
    int Play() override { return Note("Play"); }
    int Pause() override { return Note("Pause"); }
    int Stop() override { return Note("Stop"); }
    int SetPosition(int position) override {
        return Note("SetPosition(" + std::to_string(position) + ")");
    }
    int SetVolume(int volume) override { return Note("SetVolume(" + std::to_string(volume) + ")"); }
    int GetPlayObject(IPlayObject** out) override {
        calls.push_back("GetPlayObject");
        *out = withObject ? &object : nullptr;
        return objectResult;
    }

    int Note(const std::string& call) {
        calls.push_back(call);
        return result;
    }

    int result = 0;
    int objectResult = 0;
    bool withObject = true;
    RecordingPlayObject object;
    std::vector<std::string> calls;
    IMediaCallback* initReceiver = nullptr;
    unsigned char requestBytes[sizeof(PlayRequest)] = {};
};

}  // namespace playertest
