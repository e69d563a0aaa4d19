// Test support: a player core and play object of the test's own. The core records every call
// (name and arguments, in order) and answers each int operation with one configurable result;
// the object answers with the values the test gives it.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "player_core.h"

namespace servicetest {

class FakePlayObject final : public IPlayObject {
public:
    struct Values {
        int volume = 0, numberA = 0, numberB = 0, numberC = 0, numberD = 0, numberE = 0;
        int numberF = 0, numberG = 0, numberH = 0, duration = 0, state = 0, position = 0;
        int bufferFirst = 0, bufferSecond = 0;
        BYTE flag = 0;
        PlayBlock block;
        std::string textA, textB, textC, textD;
        // Texts copied without their NUL, filling the whole buffer with 'x'.
        bool unterminatedTexts = false;
        // GetData: no array when false; otherwise `data` and `count` (which may lie).
        bool hasData = false;
        std::vector<int> data;
        int count = 0;
    };
    Values values;

    // How often IsActive was asked, and whether a text getter found its buffer not zeroed.
    int isActiveCalls = 0;
    bool dirtyTextBuffer = false;

    int GetVolume() override { return values.volume; }
    BYTE GetFlag() override { return values.flag; }
    void GetBlock(PlayBlock* block) override;
    int GetNumberA() override { return values.numberA; }
    int GetNumberB() override { return values.numberB; }
    void GetTextA(char* buffer) override { CopyText(values.textA, buffer); }
    void GetTextB(char* buffer) override { CopyText(values.textB, buffer); }
    void GetTextC(char* buffer) override { CopyText(values.textC, buffer); }
    void GetTextD(char* buffer) override { CopyText(values.textD, buffer); }
    int GetNumberC() override { return values.numberC; }
    int GetNumberD() override { return values.numberD; }
    int GetNumberE() override { return values.numberE; }
    int GetDuration() override { return values.duration; }
    int GetState() override { return values.state; }
    int GetPosition() override { return values.position; }
    void GetData(int** data, int* count) override;
    int GetNumberF() override { return values.numberF; }
    BYTE IsActive() override;
    int GetNumberG() override { return values.numberG; }
    void GetBufferInfo(int* first, int* second) override;
    int GetNumberH() override { return values.numberH; }

private:
    void CopyText(const std::string& text, char* buffer);
};

class FakePlayerCore final : public IPlayerCore {
public:
    // The result of every int operation but GetPlayObject.
    int result = 0x44332211;
    // GetPlayObject's result, and whether it hands out `object`.
    int playObjectResult = 0;
    bool givesObject = true;
    FakePlayObject object;

    std::vector<std::string> Calls();
    void ClearCalls();
    IMediaCallback* Receiver();
    // Copies of the last records handed to Open, SetQuad and SetBlock.
    PlayRequest lastRequest;
    PlayQuad lastQuad;
    PlayBlock lastBlock;

    int Init(IMediaCallback* receiver, int a, int b, int c) override;
    void UnInit() override;
    int Open(PlayRequest* request) override;
    int Play() override { return Record("Play"); }
    int Pause() override { return Record("Pause"); }
    int Stop() override { return Record("Stop"); }
    int SetPosition(int position) override { return Record("SetPosition", position); }
    int SetVolume(int volume) override { return Record("SetVolume", volume); }
    int SetFlag(BYTE flag) override { return Record("SetFlag", flag); }
    int SetNumberA(int value) override { return Record("SetNumberA", value); }
    void SetQuad(PlayQuad* quad) override;
    void SetNumberB(int value) override { Record("SetNumberB", value); }
    void SetNumberC(int value) override { Record("SetNumberC", value); }
    void SetBlock(PlayBlock* block) override;
    int QueryNumber(int value) override { return Record("QueryNumber", value); }
    int SetNumberD(int value) override { return Record("SetNumberD", value); }
    void SetNumberE(int value) override { Record("SetNumberE", value); }
    int QueryStatus() override { return Record("QueryStatus"); }
    int GetPlayObject(IPlayObject** out) override;

private:
    int Record(const std::string& call);
    int Record(const std::string& name, int value);

    std::mutex mu_;
    std::vector<std::string> calls_;
    IMediaCallback* receiver_ = nullptr;
};

}  // namespace servicetest
