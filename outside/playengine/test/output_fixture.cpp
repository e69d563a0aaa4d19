#include "output_fixture.h"

#include <stdlib.h>

#include "audio_output.h"

namespace enginetest {

void OutputTest::SetUp() {
    PlayEngineTest::SetUp();
    SetOutput("output.wav");
}

void OutputTest::SetOutput(const std::string& name) {
    output_ = root_.Path() + "/" + name;
    SetOutputText("wav:" + output_);
}

void OutputTest::SetOutputText(const std::string& text) {
    // The test root puts the variable back when the test ends.
    setenv(PE_OUTPUT_VARIABLE, text.c_str(), 1);
}

bool OutputTest::WaitForSound(int ms, milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (Output().Ms() < ms) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(milliseconds(5));
    }
    return true;
}

std::vector<Kind> OutputTest::KindsSince(size_t from) {
    std::vector<Kind> kinds;
    std::vector<Note> notes = receiver_.Notes();
    for (size_t i = from; i < notes.size(); ++i) {
        if (notes[i].kind != Buffer) {
            kinds.push_back(notes[i].kind);
        }
    }
    return kinds;
}

}  // namespace enginetest
