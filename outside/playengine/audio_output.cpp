#include "audio_output.h"

#include <gst/app/gstappsink.h>

#include <cstdlib>

#include "wav_file_writer.h"

namespace {

constexpr std::string_view kClock = "clock";
constexpr std::string_view kWavPrefix = "wav:";
// The WAV file output takes what it writes in this format; the pipeline converts to it.
constexpr char kWavCaps[] = "audio/x-raw,format=S16LE,layout=interleaved";

// Runs on the pipeline's streaming thread when a buffer is due to be played.
GstFlowReturn OnWavSample(GstAppSink* sink, gpointer data) {
    auto* writer = static_cast<WavFileWriter*>(data);
    GstSample* sample = gst_app_sink_pull_sample(sink);
    if (!sample) {
        return GST_FLOW_EOS;
    }
    int channels = 0;
    int rate = 0;
    if (GstCaps* caps = gst_sample_get_caps(sample)) {
        const GstStructure* s = gst_caps_get_structure(caps, 0);
        gst_structure_get_int(s, "channels", &channels);
        gst_structure_get_int(s, "rate", &rate);
    }
    bool ok = true;
    GstMapInfo map;
    if (GstBuffer* buffer = gst_sample_get_buffer(sample);
        buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        ok = writer->Append(map.data, map.size, channels, rate);
        gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
    if (!ok) {
        // Posted by the sink itself, so the engine knows the output failed, not the item.
        GST_ELEMENT_ERROR(sink, RESOURCE, WRITE, ("The WAV file output cannot be written."),
                          (nullptr));
        return GST_FLOW_ERROR;
    }
    return GST_FLOW_OK;
}

GstElement* MakeWavSink(const std::string& path, std::string* error) {
    std::unique_ptr<WavFileWriter> writer = WavFileWriter::Create(path, error);
    if (!writer) {
        return nullptr;
    }
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    if (!sink) {
        *error = "the element appsink is not installed";
        return nullptr;
    }
    GstCaps* caps = gst_caps_from_string(kWavCaps);
    g_object_set(sink, "caps", caps, "sync", TRUE, nullptr);
    gst_caps_unref(caps);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = OnWavSample;
    // The sink owns the writer from here; it closes the file when the sink goes.
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, writer.release(),
                               [](gpointer data) { delete static_cast<WavFileWriter*>(data); });
    return sink;
}

GstElement* MakeElement(const char* factory, const std::string& name, std::string* error) {
    GstElement* sink = gst_element_factory_make(factory, nullptr);
    if (!sink) {
        *error = "the element " + name + " is not installed";
    }
    return sink;
}

}  // namespace

std::string AudioOutput::Describe() const {
    switch (kind) {
        case OutputKind::System:
            return "the system's audio output";
        case OutputKind::Clock:
            return std::string(kClock);
        case OutputKind::WavFile:
            return std::string(kWavPrefix) + argument;
        case OutputKind::Element:
            return argument;
        case OutputKind::Probe:
            return "no output";
    }
    return {};
}

AudioOutput ParseOutput(std::string_view text) {
    if (text.empty()) {
        return {OutputKind::System, {}};
    }
    if (text == kClock) {
        return {OutputKind::Clock, {}};
    }
    if (text.substr(0, kWavPrefix.size()) == kWavPrefix) {
        return {OutputKind::WavFile, std::string(text.substr(kWavPrefix.size()))};
    }
    return {OutputKind::Element, std::string(text)};
}

AudioOutput OutputFromEnvironment() {
    const char* text = std::getenv(PE_OUTPUT_VARIABLE);
    return ParseOutput(text ? text : "");
}

GstElement* MakeOutputSink(const AudioOutput& output, std::string* error) {
    GstElement* sink = nullptr;
    switch (output.kind) {
        case OutputKind::System:
            return MakeElement("autoaudiosink", "autoaudiosink", error);
        case OutputKind::Clock:
            sink = MakeElement("fakesink", "fakesink", error);
            if (sink) {
                g_object_set(sink, "sync", TRUE, nullptr);
            }
            return sink;
        case OutputKind::WavFile:
            return MakeWavSink(output.argument, error);
        case OutputKind::Element:
            return MakeElement(output.argument.c_str(), output.argument, error);
        case OutputKind::Probe:
            sink = MakeElement("fakesink", "fakesink", error);
            if (sink) {
                g_object_set(sink, "sync", FALSE, nullptr);
            }
            return sink;
    }
    return nullptr;
}
