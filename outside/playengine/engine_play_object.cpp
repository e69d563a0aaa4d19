#include "engine_play_object.h"

#include <algorithm>
#include <cstring>

#include "play_engine.h"

int CEnginePlayObject::GetVolume() {
    return engine_.Read([](const EngineValues& v) { return v.volume; });
}

BYTE CEnginePlayObject::GetFlag() {
    return engine_.Read([](const EngineValues& v) { return v.flag; });
}

void CEnginePlayObject::GetBlock(PlayBlock* block) {
    if (block) {
        *block = engine_.Read([](const EngineValues& v) { return v.block; });
    }
}

int CEnginePlayObject::GetNumberA() {
    return engine_.Read([](const EngineValues& v) { return v.numberA; });
}

int CEnginePlayObject::GetNumberB() {
    return engine_.Read([](const EngineValues& v) { return v.numberB; });
}

void CEnginePlayObject::CopyText(int index, char* buffer) {
    if (!buffer) {
        return;
    }
    engine_.Read([index, buffer](const EngineValues& v) {
        // Request texts hold at most 511 characters, well inside the caller's buffer.
        const std::string& text = v.item.text[index];
        size_t length = std::min(text.size(), static_cast<size_t>(PLAY_OBJECT_TEXT_SIZE - 1));
        std::memcpy(buffer, text.data(), length);
        buffer[length] = '\0';
        return 0;
    });
}

void CEnginePlayObject::GetTextA(char* buffer) {
    CopyText(0, buffer);
}
void CEnginePlayObject::GetTextB(char* buffer) {
    CopyText(1, buffer);
}
void CEnginePlayObject::GetTextC(char* buffer) {
    CopyText(2, buffer);
}
void CEnginePlayObject::GetTextD(char* buffer) {
    CopyText(3, buffer);
}

int CEnginePlayObject::GetNumberC() {
    return engine_.Read([](const EngineValues& v) { return v.numberC; });
}

int CEnginePlayObject::GetNumberD() {
    return engine_.Read([](const EngineValues& v) { return v.numberD; });
}

int CEnginePlayObject::GetNumberE() {
    return engine_.Read([](const EngineValues& v) { return v.numberE; });
}

int CEnginePlayObject::GetDuration() {
    return engine_.Read([](const EngineValues& v) { return v.item.durationMs; });
}

int CEnginePlayObject::GetState() {
    return engine_.Read([](const EngineValues& v) { return v.state; });
}

int CEnginePlayObject::GetPosition() {
    return engine_.Read([](const EngineValues& v) { return v.positionMs; });
}

void CEnginePlayObject::GetData(int** data, int* count) {
    engine_.Read([data, count](const EngineValues& v) {
        bool open = v.state != PE_STATE_NONE;
        if (data) {
            // The caller may not write through it; the interface just has no const.
            *data = open ? const_cast<int*>(v.item.data.data()) : nullptr;
        }
        if (count) {
            *count = open ? PE_DATA_COUNT : 0;
        }
        return 0;
    });
}

int CEnginePlayObject::GetNumberF() {
    return engine_.Read([](const EngineValues& v) { return v.item.number; });
}

BYTE CEnginePlayObject::IsActive() {
    return GetState() == PE_STATE_PLAYING ? 1 : 0;
}

int CEnginePlayObject::GetNumberG() {
    return engine_.Read([](const EngineValues& v) { return v.item.extra; });
}

void CEnginePlayObject::GetBufferInfo(int* first, int* second) {
    int progress = engine_.Read([](const EngineValues& v) { return BufferProgress(v); });
    // The second value is the download progress: a local file never downloads, and a stream's
    // download is what its buffer holds, so it is the same as the first.
    if (first) {
        *first = progress;
    }
    if (second) {
        *second = progress;
    }
}

int CEnginePlayObject::GetNumberH() {
    return engine_.Read([](const EngineValues& v) { return v.item.sampleRate; });
}
