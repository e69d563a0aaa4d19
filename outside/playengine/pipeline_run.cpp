#include "pipeline_run.h"

#include <gst/gst.h>

#include <cstdio>

bool RunPipelineToEnd(const std::string& description, int limitSeconds) {
    gst_init(nullptr, nullptr);
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    if (!pipeline || error) {
        std::fprintf(stderr, "%s: %s\n", description.c_str(), error ? error->message : "?");
        g_clear_error(&error);
        if (pipeline) {
            gst_object_unref(pipeline);
        }
        return false;
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, limitSeconds * GST_SECOND,
        static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (!ok) {
        if (message) {
            gst_message_parse_error(message, &error, nullptr);
        }
        std::fprintf(stderr, "%s: %s\n", description.c_str(),
                     error ? error->message : "no end within the limit");
        g_clear_error(&error);
    }
    if (message) {
        gst_message_unref(message);
    }
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}
