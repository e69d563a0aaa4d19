// CEnginePlayObject: the engine's IPlayObject, a live view of the engine. Every getter reads the
// engine's current values under its lock; nothing is cached.
#pragma once

#include "play_object.h"

class CPlayEngine;

class CEnginePlayObject final : public IPlayObject {
public:
    explicit CEnginePlayObject(CPlayEngine& engine) : engine_(engine) {}

    int GetVolume() override;
    BYTE GetFlag() override;
    void GetBlock(PlayBlock* block) override;
    int GetNumberA() override;
    int GetNumberB() override;
    void GetTextA(char* buffer) override;
    void GetTextB(char* buffer) override;
    void GetTextC(char* buffer) override;
    void GetTextD(char* buffer) override;
    int GetNumberC() override;
    int GetNumberD() override;
    int GetNumberE() override;
    int GetDuration() override;
    int GetState() override;
    int GetPosition() override;
    // The array belongs to the engine; its values change only when an item is opened or closed.
    void GetData(int** data, int* count) override;
    int GetNumberF() override;
    BYTE IsActive() override;
    int GetNumberG() override;
    void GetBufferInfo(int* first, int* second) override;
    int GetNumberH() override;

private:
    void CopyText(int index, char* buffer);

    CPlayEngine& engine_;
};
