#include "fake_player_core.h"

#include <cstring>

namespace servicetest {

void FakePlayObject::GetBlock(PlayBlock* block) {
    if (block) {
        *block = values.block;
    }
}

void FakePlayObject::GetData(int** data, int* count) {
    if (values.hasData) {
        *data = values.data.data();
        *count = values.count;
    }
}

BYTE FakePlayObject::IsActive() {
    ++isActiveCalls;
    return 0;
}

void FakePlayObject::GetBufferInfo(int* first, int* second) {
    *first = values.bufferFirst;
    *second = values.bufferSecond;
}

void FakePlayObject::CopyText(const std::string& text, char* buffer) {
    if (!buffer) {
        return;
    }
    for (int i = 0; i < PLAY_OBJECT_TEXT_SIZE; ++i) {
        if (buffer[i] != 0) {
            dirtyTextBuffer = true;
        }
    }
    if (values.unterminatedTexts) {
        std::memset(buffer, 'x', PLAY_OBJECT_TEXT_SIZE);
        return;
    }
    std::strncpy(buffer, text.c_str(), PLAY_OBJECT_TEXT_SIZE - 1);
}

std::vector<std::string> FakePlayerCore::Calls() {
    std::lock_guard<std::mutex> guard(mu_);
    return calls_;
}

void FakePlayerCore::ClearCalls() {
    std::lock_guard<std::mutex> guard(mu_);
    calls_.clear();
}

IMediaCallback* FakePlayerCore::Receiver() {
    std::lock_guard<std::mutex> guard(mu_);
    return receiver_;
}

int FakePlayerCore::Record(const std::string& call) {
    std::lock_guard<std::mutex> guard(mu_);
    calls_.push_back(call);
    return result;
}

int FakePlayerCore::Record(const std::string& name, int value) {
    return Record(name + "(" + std::to_string(value) + ")");
}

int FakePlayerCore::Init(IMediaCallback* receiver, int a, int b, int c) {
    {
        std::lock_guard<std::mutex> guard(mu_);
        receiver_ = receiver;
    }
    return Record("Init(" + std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) +
                  ")");
}

void FakePlayerCore::UnInit() {
    {
        std::lock_guard<std::mutex> guard(mu_);
        receiver_ = nullptr;
    }
    Record("UnInit");
}

int FakePlayerCore::Open(PlayRequest* request) {
    if (request) {
        lastRequest = *request;
    }
    return Record("Open");
}

void FakePlayerCore::SetQuad(PlayQuad* quad) {
    if (quad) {
        lastQuad = *quad;
    }
    Record("SetQuad");
}

void FakePlayerCore::SetBlock(PlayBlock* block) {
    if (block) {
        lastBlock = *block;
    }
    Record("SetBlock");
}

int FakePlayerCore::GetPlayObject(IPlayObject** out) {
    Record("GetPlayObject");
    if (givesObject) {
        *out = &object;
    }
    return playObjectResult;
}

}  // namespace servicetest
