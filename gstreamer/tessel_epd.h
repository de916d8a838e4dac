// The element tesselepd: an audio filter that passes 16-bit mono audio through untouched and
// posts an element message `tessel-utterance` whenever the utterance's begin or end changes.
#pragma once

#include <gst/audio/gstaudiofilter.h>

G_BEGIN_DECLS

#define GST_TYPE_TESSEL_EPD (gst_tessel_epd_get_type())
G_DECLARE_FINAL_TYPE(GstTesselEpd, gst_tessel_epd, GST, TESSEL_EPD, GstAudioFilter)

GST_ELEMENT_REGISTER_DECLARE(tesselepd);

G_END_DECLS
