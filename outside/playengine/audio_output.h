// Where the engine plays. By default the system's audio output; the variable PE_OUTPUT_VARIABLE
// chooses another, so that machines without sound (and the tests) can play:
//   "clock"     an output that keeps real time and plays to no device;
//   "wav:PATH"  an output that keeps real time and writes what it plays to the WAV file PATH;
//   any other   the audio sink element of that name (for example "alsasink" or "pulsesink").
// Unset or empty is the system's output.
#pragma once

#include <gst/gst.h>

#include <string>
#include <string_view>

constexpr char PE_OUTPUT_VARIABLE[] = "PLAYENGINE_OUTPUT";

enum class OutputKind {
    System,
    Clock,
    WavFile,
    Element,
    Probe,  // not chosen by the variable: decodes to nowhere, to learn what an item is
};

struct AudioOutput {
    OutputKind kind = OutputKind::System;
    std::string argument;  // the path of a WAV file, the name of an element

    // For the log: the variable's text for this output.
    std::string Describe() const;
};

AudioOutput ParseOutput(std::string_view text);
// The output the variable chooses now.
AudioOutput OutputFromEnvironment();

// A new sink element (a floating reference) for the output; null with the reason when the
// output cannot be made.
GstElement* MakeOutputSink(const AudioOutput& output, std::string* error);
