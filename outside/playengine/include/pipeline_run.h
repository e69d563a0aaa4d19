// Runs a GStreamer pipeline, written as gst-launch-1.0 would take it, until its end: how the
// build makes the demo track and the tests and benchmarks make theirs. Not part of the engine.
#pragma once

#include <string>

// False, with the reason on standard error, when the description does not build, the pipeline
// fails, or it has not ended after `limitSeconds`.
bool RunPipelineToEnd(const std::string& description, int limitSeconds = 60);
