/* The element under GStreamer's test harness, where a test can do what gst-launch-1.0 cannot:
   seek. A flushing seek in the middle of the bundled recording, with half a sample waiting in the
   element, must leave it as a fresh element: the same positions, and stream times from the new
   segment's start. */
#include <gst/check/gstcheck.h>
#include <gst/check/gstharness.h>
#include <string.h>

#include "tessel_epd.h"

#define RATE 16000
#define CAPS "audio/x-raw,format=S16LE,channels=1,rate=16000,layout=interleaved"
#define PIECE 1001 /* bytes: pieces end inside frames and inside samples */
#define MAX_MESSAGES 16

typedef struct {
  gint64 beginSample, endSample;
  guint64 beginTime, endTime;
  guint utterance;
  gboolean final;
} Posted;

static guint8* speech;
static gsize speechBytes;

/* The data chunk of the bundled recording (16-bit mono at 16 kHz). */
static void ReadSpeech(void) {
  gchar* file;
  gsize size;
  fail_unless(g_file_get_contents(TESSEL_SPEECH_WAV, &file, &size, NULL));
  for (gsize at = 12; at + 8 <= size;) {
    const guint32 chunk = GST_READ_UINT32_LE(file + at + 4);
    if (memcmp(file + at, "data", 4) == 0 && at + 8 + chunk <= size) {
      speechBytes = chunk;
      speech = g_memdup2(file + at + 8, chunk);
      break;
    }
    at += 8 + chunk + (chunk & 1);
  }
  g_free(file);
  fail_unless(speech != NULL, "no data chunk in %s", TESSEL_SPEECH_WAV);
}

/* Pushes bytes [from, to) of the recording in pieces, timestamped from `origin`. */
static void Push(GstHarness* h, gsize from, gsize to, GstClockTime origin) {
  for (gsize at = from; at < to; at += PIECE) {
    const gsize size = MIN(PIECE, to - at);
    GstBuffer* buffer = gst_buffer_new_memdup(speech + at, size);
    GST_BUFFER_PTS(buffer) = origin + gst_util_uint64_scale(at - from, GST_SECOND, 2 * RATE);
    fail_unless_equals_int(gst_harness_push(h, buffer), GST_FLOW_OK);
    gst_buffer_unref(gst_harness_pull(h));
  }
}

/* Takes the tessel-utterance messages posted so far. */
static guint Collect(GstBus* bus, Posted* posted) {
  guint count = 0;
  GstMessage* message;
  while ((message = gst_bus_pop_filtered(bus, GST_MESSAGE_ELEMENT)) != NULL) {
    const GstStructure* s = gst_message_get_structure(message);
    if (gst_structure_has_name(s, "tessel-utterance")) {
      fail_unless(count < MAX_MESSAGES);
      Posted* p = &posted[count++];
      fail_unless(gst_structure_get(s, "begin-sample", G_TYPE_INT64, &p->beginSample, "end-sample",
                                    G_TYPE_INT64, &p->endSample, "begin-time", G_TYPE_UINT64,
                                    &p->beginTime, "end-time", G_TYPE_UINT64, &p->endTime,
                                    "utterance", G_TYPE_UINT, &p->utterance, "final",
                                    G_TYPE_BOOLEAN, &p->final, NULL));
    }
    gst_message_unref(message);
  }
  return count;
}

static GstHarness* StartHarness(GstBus* bus) {
  GstHarness* h = gst_harness_new("tesselepd");
  gst_element_set_bus(h->element, bus);
  gst_harness_set_src_caps_str(h, CAPS);
  return h;
}

GST_START_TEST(a_flushing_seek_starts_a_fresh_count_from_the_new_segment) {
  ReadSpeech();
  GstBus* bus = gst_bus_new();
  Posted fresh[MAX_MESSAGES], seeked[MAX_MESSAGES];

  GstHarness* h = StartHarness(bus);
  Push(h, 0, speechBytes, 0);
  const guint freshCount = Collect(bus, fresh);
  gst_harness_teardown(h);
  fail_unless_equals_int(freshCount, 4); /* two utterances, each begun then ended */

  h = StartHarness(bus);
  /* Into the second utterance, ending on half a sample. */
  Push(h, 0, speechBytes * 3 / 4 + 1, 0);
  Collect(bus, seeked);
  fail_unless(gst_harness_push_event(h, gst_event_new_flush_start()));
  fail_unless(gst_harness_push_event(h, gst_event_new_flush_stop(TRUE)));
  GstSegment segment;
  gst_segment_init(&segment, GST_FORMAT_TIME);
  const GstClockTime start = 10 * GST_SECOND;
  segment.start = segment.time = segment.position = start;
  fail_unless(gst_harness_push_event(h, gst_event_new_segment(&segment)));
  Push(h, 0, speechBytes, start);
  const guint seekedCount = Collect(bus, seeked);
  gst_harness_teardown(h);

  fail_unless_equals_int(seekedCount, freshCount);
  for (guint i = 0; i < freshCount; ++i) {
    const Posted* a = &fresh[i];
    const Posted* b = &seeked[i];
    fail_unless_equals_int64(b->beginSample, a->beginSample);
    fail_unless_equals_int64(b->endSample, a->endSample);
    fail_unless_equals_int(b->utterance, a->utterance);
    fail_unless_equals_int(b->final, a->final);
    fail_unless_equals_uint64(a->beginTime,
                              gst_util_uint64_scale(a->beginSample, GST_SECOND, RATE));
    fail_unless_equals_uint64(b->beginTime, start + a->beginTime);
    if (a->final) fail_unless_equals_uint64(b->endTime, start + a->endTime);
  }
  gst_object_unref(bus);
  g_free(speech);
}
GST_END_TEST

static Suite* TesselEpdSuite(void) {
  Suite* suite = suite_create("tesselepd");
  TCase* tc = tcase_create("seek");
  tcase_add_test(tc, a_flushing_seek_starts_a_fresh_count_from_the_new_segment);
  suite_add_tcase(suite, tc);
  return suite;
}

int main(int argc, char** argv) {
  gst_check_init(&argc, &argv);
  if (!GST_ELEMENT_REGISTER(tesselepd, NULL)) {
    g_printerr("tesselepd could not be registered\n");
    return 1;
  }
  return gst_check_run_suite(TesselEpdSuite(), "tesselepd", __FILE__) == 0 ? 0 : 1;
}
