#include "tessel_epd.h"

#include <new>
#include <string>

#include <gst/base/gstbasetransform.h>

#include "frame_feed.h"
#include "frame_size.h"

GST_DEBUG_CATEGORY_STATIC(tessel_epd_debug);
#define GST_CAT_DEFAULT tessel_epd_debug

namespace {

// tessel.h: a context's minimum detection threshold starts at 156.
constexpr gint kDefaultThreshold = 156;
constexpr gint kDefaultFrameMs = 20;

enum Property { PROP_0, PROP_THRESHOLD, PROP_FRAME_MS };

}  // namespace

struct _GstTesselEpd {
  GstAudioFilter parent;

  // The properties, under the object lock: the application sets them from its own thread.
  gint threshold;
  gint frameMs;
  gboolean thresholdChanged;  // not yet given to the open context

  // The streaming thread's own.
  FrameFeed* feed;
  GstClockTime origin;  // the timestamp of the first sample since the last reset
};

G_DEFINE_TYPE(GstTesselEpd, gst_tessel_epd, GST_TYPE_AUDIO_FILTER)
GST_ELEMENT_REGISTER_DEFINE(tesselepd, "tesselepd", GST_RANK_NONE, GST_TYPE_TESSEL_EPD)

namespace {

GstTesselEpd* Self(gpointer object) { return GST_TESSEL_EPD(object); }

void ForgetStream(GstTesselEpd* self) {
  FrameFeed_Reset(*self->feed);
  self->origin = GST_CLOCK_TIME_NONE;
}

// The stream time and running time of a sample counted since the last reset; NONE where the
// segment does not count time.
void SampleTimes(GstTesselEpd* self, int64_t sample, GstClockTime* streamTime,
                 GstClockTime* runningTime) {
  const GstSegment& segment = GST_BASE_TRANSFORM(self)->segment;
  *streamTime = GST_CLOCK_TIME_NONE;
  *runningTime = GST_CLOCK_TIME_NONE;
  if (segment.format != GST_FORMAT_TIME || sample < 0) return;
  const GstClockTime origin = GST_CLOCK_TIME_IS_VALID(self->origin) ? self->origin : segment.start;
  const GstClockTime at =
      origin + gst_util_uint64_scale_int(guint64(sample), GST_SECOND, self->feed->sampleRate);
  *streamTime = gst_segment_to_stream_time(&segment, GST_FORMAT_TIME, at);
  *runningTime = gst_segment_to_running_time(&segment, GST_FORMAT_TIME, at);
}

void PostChange(GstTesselEpd* self, const FeedChange& change) {
  GstClockTime beginTime, endTime, decidedTime, decidedRunningTime, unused;
  SampleTimes(self, change.beginSample, &beginTime, &unused);
  SampleTimes(self, change.endSample, &endTime, &unused);
  SampleTimes(self, change.decidedAtSample, &decidedTime, &decidedRunningTime);
  GstStructure* fields = gst_structure_new(
      "tessel-utterance", "utterance", G_TYPE_UINT, guint(change.utterance), "begin-sample",
      G_TYPE_INT64, gint64(change.beginSample), "end-sample", G_TYPE_INT64,
      gint64(change.endSample), "begin-time", G_TYPE_UINT64, beginTime, "end-time", G_TYPE_UINT64,
      endTime, "final", G_TYPE_BOOLEAN, gboolean(change.endSample >= 0), "stream-time",
      G_TYPE_UINT64, decidedTime, "running-time", G_TYPE_UINT64, decidedRunningTime, nullptr);
  GST_LOG_OBJECT(self, "%" GST_PTR_FORMAT, fields);
  gst_element_post_message(GST_ELEMENT(self), gst_message_new_element(GST_OBJECT(self), fields));
}

// Returns why the audio cannot be taken, or an empty string.
std::string OpenFeed(FrameFeed& feed, int32_t rate, gint frameMs, gint threshold) {
  const int32_t frameSize = FrameSizeForMs(rate, frameMs);
  if (frameSize == 0) {
    return "no frame of " + std::to_string(frameMs) + " ms at " + std::to_string(rate) + " Hz";
  }
  return FrameFeed_Open(feed, rate, frameSize, threshold);
}

gboolean Setup(GstAudioFilter* filter, const GstAudioInfo* info) {
  GstTesselEpd* self = Self(filter);
  GST_OBJECT_LOCK(self);
  const gint frameMs = self->frameMs;
  const gint threshold = self->threshold;
  self->thresholdChanged = FALSE;
  GST_OBJECT_UNLOCK(self);

  const int32_t rate = GST_AUDIO_INFO_RATE(info);
  std::string reason;
  try {
    reason = OpenFeed(*self->feed, rate, frameMs, threshold);
  } catch (const std::bad_alloc&) {
    GST_ELEMENT_ERROR(self, RESOURCE, NO_SPACE_LEFT, ("Not enough memory for a frame"), (nullptr));
    return FALSE;
  }
  if (!reason.empty()) {
    GST_ELEMENT_ERROR(self, CORE, NEGOTIATION, ("Cannot detect utterances in this audio"),
                      ("%s", reason.c_str()));
    return FALSE;
  }
  self->origin = GST_CLOCK_TIME_NONE;
  GST_INFO_OBJECT(self, "%d Hz, frames of %d samples, threshold %d", rate, self->feed->frameSize,
                  threshold);
  return TRUE;
}

GstFlowReturn TransformInPlace(GstBaseTransform* transform, GstBuffer* buffer) {
  GstTesselEpd* self = Self(transform);
  FrameFeed& feed = *self->feed;
  if (feed.context == nullptr) return GST_FLOW_NOT_NEGOTIATED;

  GST_OBJECT_LOCK(self);
  if (self->thresholdChanged) {
    FrameFeed_SetThreshold(feed, self->threshold);
    self->thresholdChanged = FALSE;
  }
  GST_OBJECT_UNLOCK(self);

  if (!GST_CLOCK_TIME_IS_VALID(self->origin) && feed.samplesPushed == 0 && feed.pendingBytes == 0 &&
      GST_BUFFER_PTS_IS_VALID(buffer)) {
    self->origin = GST_BUFFER_PTS(buffer);
  }
  GstMapInfo map;
  if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) {
    GST_ELEMENT_ERROR(self, RESOURCE, READ, ("Cannot read an audio buffer"), (nullptr));
    return GST_FLOW_ERROR;
  }
  FrameFeed_Push(feed, map.data, map.size,
                 [self](const FeedChange& change) { PostChange(self, change); });
  gst_buffer_unmap(buffer, &map);
  return GST_FLOW_OK;
}

gboolean SinkEvent(GstBaseTransform* transform, GstEvent* event) {
  GstTesselEpd* self = Self(transform);
  // A flush or a new segment starts another stream: positions count from its first sample.
  if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP || GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
    ForgetStream(self);
  }
  return GST_BASE_TRANSFORM_CLASS(gst_tessel_epd_parent_class)->sink_event(transform, event);
}

gboolean Stop(GstBaseTransform* transform) {
  FrameFeed_Close(*Self(transform)->feed);
  return TRUE;
}

void SetProperty(GObject* object, guint id, const GValue* value, GParamSpec* property) {
  GstTesselEpd* self = Self(object);
  switch (id) {
    case PROP_THRESHOLD:
      GST_OBJECT_LOCK(self);
      self->threshold = g_value_get_int(value);
      self->thresholdChanged = TRUE;
      GST_OBJECT_UNLOCK(self);
      break;
    case PROP_FRAME_MS: {
      const gint frameMs = g_value_get_int(value);
      if (frameMs != 10 && frameMs != 20) {
        g_warning("tesselepd: frame-ms must be 10 or 20, not %d; it stays as it was", frameMs);
        break;
      }
      GST_OBJECT_LOCK(self);
      self->frameMs = frameMs;
      GST_OBJECT_UNLOCK(self);
      break;
    }
    default:
      G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, property);
  }
}

void GetProperty(GObject* object, guint id, GValue* value, GParamSpec* property) {
  GstTesselEpd* self = Self(object);
  GST_OBJECT_LOCK(self);
  switch (id) {
    case PROP_THRESHOLD:
      g_value_set_int(value, self->threshold);
      break;
    case PROP_FRAME_MS:
      g_value_set_int(value, self->frameMs);
      break;
    default:
      G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, property);
  }
  GST_OBJECT_UNLOCK(self);
}

void Finalize(GObject* object) {
  GstTesselEpd* self = Self(object);
  FrameFeed_Close(*self->feed);
  delete self->feed;
  G_OBJECT_CLASS(gst_tessel_epd_parent_class)->finalize(object);
}

}  // namespace

static void gst_tessel_epd_init(GstTesselEpd* self) {
  self->threshold = kDefaultThreshold;
  self->frameMs = kDefaultFrameMs;
  self->thresholdChanged = FALSE;
  self->feed = new FrameFeed;
  self->origin = GST_CLOCK_TIME_NONE;
  // Audio leaves as it came; the buffers are only read.
  gst_base_transform_set_passthrough(GST_BASE_TRANSFORM(self), TRUE);
  gst_base_transform_set_in_place(GST_BASE_TRANSFORM(self), TRUE);
}

static void gst_tessel_epd_class_init(GstTesselEpdClass* klass) {
  GST_DEBUG_CATEGORY_INIT(tessel_epd_debug, "tesselepd", 0, "Tessel end-point detection");
  GObjectClass* objectClass = G_OBJECT_CLASS(klass);
  objectClass->set_property = SetProperty;
  objectClass->get_property = GetProperty;
  objectClass->finalize = Finalize;

  g_object_class_install_property(
      objectClass, PROP_THRESHOLD,
      g_param_spec_int(
          "threshold", "Threshold",
          "The detector's minimum energy threshold, in its frame energy (the mean square over "
          "64 ms of the signal brought to 2000 Hz, DC removed, divided by 16); higher values "
          "ignore quieter speech, and every value from 16384 up behaves the same. Takes effect "
          "from the next frame",
          0, G_MAXINT, kDefaultThreshold,
          GParamFlags(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS | GST_PARAM_MUTABLE_PLAYING)));
  g_object_class_install_property(
      objectClass, PROP_FRAME_MS,
      g_param_spec_int(
          "frame-ms", "Frame length",
          "Milliseconds of audio per push to the detector: 10 or 20, the frames "
          "`tessel analyze --frame-ms` uses; applies from the next caps",
          10, 20, kDefaultFrameMs,
          GParamFlags(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS | GST_PARAM_MUTABLE_READY)));

  GstElementClass* elementClass = GST_ELEMENT_CLASS(klass);
  gst_element_class_set_static_metadata(
      elementClass, "Tessel end-point detection", "Filter/Analyzer/Audio",
      "Finds utterances in 16-bit mono speech and posts an element message "
      "\"tessel-utterance\" whenever an utterance's begin or end changes: utterance (uint, "
      "counted from 1), begin-sample and end-sample (int64, input samples since the stream "
      "started or was flushed, end -1 while unknown), begin-time and end-time (stream time, "
      "end NONE while unknown), final (boolean: the end is known), stream-time and running-time "
      "(where in the audio the change was decided). The audio passes through untouched",
      "Tessel maintainers");

  const std::string capsText =
      "audio/x-raw, format = (string) S16LE, channels = (int) 1, layout = (string) interleaved, "
      "rate = (int) { " +
      SupportedRatesText() + " }";
  GstCaps* caps = gst_caps_from_string(capsText.c_str());
  gst_audio_filter_class_add_pad_templates(GST_AUDIO_FILTER_CLASS(klass), caps);
  gst_caps_unref(caps);

  GstBaseTransformClass* transformClass = GST_BASE_TRANSFORM_CLASS(klass);
  transformClass->transform_ip = TransformInPlace;
  transformClass->transform_ip_on_passthrough = TRUE;
  transformClass->sink_event = SinkEvent;
  transformClass->stop = Stop;
  GST_AUDIO_FILTER_CLASS(klass)->setup = Setup;
}
