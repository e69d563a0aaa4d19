// Test support: the engine's fixture with its output set to a WAV file of the test's folder, so
// that a test hears what the engine played.
#pragma once

#include <string>

#include "engine_test_support.h"
#include "track_maker.h"

namespace enginetest {

class OutputTest : public PlayEngineTest {
protected:
    void SetUp() override;
    // Points the engine's output at a new WAV file of the test's folder; items opened from now
    // on play into it.
    void SetOutput(const std::string& name);
    // The variable's text, as it is, for outputs that cannot play.
    void SetOutputText(const std::string& text);
    // False when the output did not hold `ms` of sound within the limit.
    bool WaitForSound(int ms, milliseconds limit = milliseconds(5000));
    enginetest::Sound Output() const { return enginetest::ReadSound(output_); }
    // The notifications after the first `from`, buffering progress left out.
    std::vector<Kind> KindsSince(size_t from);

    std::string output_;
};

}  // namespace enginetest
