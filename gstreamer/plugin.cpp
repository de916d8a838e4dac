// The plugin libgsttessel.so: the element tesselepd.
#include <gst/gst.h>

#include "tessel_epd.h"

namespace {

gboolean PluginInit(GstPlugin* plugin) { return GST_ELEMENT_REGISTER(tesselepd, plugin); }

}  // namespace

GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, tessel,
                  "Utterance end-point detection for live audio", PluginInit,
                  TESSEL_PROJECT_VERSION, "Proprietary", "Tessel", "Tessel")
