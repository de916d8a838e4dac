#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "context/stream_context.h"
#include "context/utterance_times.h"
#include "endpoint/endpoint_detector.h"
#include "resample/tests/shifted_reference.h"
#include "support/linked_exports.h"
#include "support/stream_runner.h"
#include "support/voiced_signal.h"
#include "tessel.h"

namespace {

std::vector<int16_t> ConvertWhole(int32_t rate, const std::vector<int16_t>& input) {
  shifted_reference::Converter converter = shifted_reference::Make(rate);
  std::vector<int16_t> output;
  for (int16_t s : input) {
    int16_t out;
    if (shifted_reference::Convert(converter, s, &out)) output.push_back(out);
  }
  return output;
}

voiced_signal::Signal Speech(int32_t rate, uint32_t seed, int32_t utterances = 3,
                             int32_t noise = 200) {
  voiced_signal::Options options;
  options.rate = rate;
  options.seed = seed;
  options.utteranceCount = utterances;
  options.noiseAmplitude = noise;
  return voiced_signal::Make(options);
}

// The whole stream converted at once, cut into 8 kHz frames and stepped through a detector
// of our own: what the context must report after each input frame, built without it.
stream_runner::Trace ExpectedTrace(int32_t rate, int32_t frameSize, int32_t frameSize8k,
                                   const std::vector<int16_t>& input) {
  const std::vector<int16_t> converted = ConvertWhole(rate, input);
  const int32_t workSize = EndpointDetector_WorkSize(8000, frameSize8k);
  std::vector<uint64_t> area(size_t(workSize) / 8 + 1);
  EndpointDetector* detector =
      EndpointDetector_Init(8000, frameSize8k, area.data(), workSize, nullptr);
  EXPECT_NE(detector, nullptr);
  std::vector<float> beginAfter = {-1.0f};  // times after 0, 1, 2, ... frames
  std::vector<float> endAfter = {-1.0f};
  for (size_t start = 0; start + frameSize8k <= converted.size(); start += frameSize8k) {
    float begin = beginAfter.back();
    float end = endAfter.back();
    const int32_t result = EndpointDetector_Step(detector, converted.data() + start);
    if (result == 1) {
      begin = UtteranceBeginTime(int32_t(start), EndpointDetector_FramesSinceBegin(detector),
                                 frameSize8k);
    } else if (result == 3) {
      end = UtteranceEndTime(int32_t(start), begin);
      EndpointDetector_Rearm(detector);
    }
    beginAfter.push_back(begin);
    endAfter.push_back(end);
  }
  stream_runner::Trace trace;
  trace.created = true;
  for (size_t pushed = frameSize; pushed <= input.size(); pushed += frameSize) {
    const size_t frames = size_t(8000 * int64_t(pushed) / rate) / frameSize8k;
    trace.begins.push_back(InputSamplesAt(rate, beginAfter[frames]));
    trace.ends.push_back(InputSamplesAt(rate, endAfter[frames]));
    trace.results.push_back(endAfter[frames] >= 0.0f ? 1 : 0);
  }
  return trace;
}

TEST(TesselAddSample, MatchesConverterAndDetectorRunOverTheWholeStream) {
  struct Case {
    int32_t rate, frameSize, frameSize8k;
  };
  for (const Case& c : {Case{8000, 160, 160}, Case{8000, 80, 80}, Case{11025, 110, 80},
                        Case{11025, 220, 160}, Case{16000, 240, 120}, Case{22050, 440, 160},
                        Case{44100, 442, 80}, Case{48000, 960, 160}, Case{48000, 484, 80}}) {
    const voiced_signal::Signal speech = Speech(c.rate, 21);
    const stream_runner::Trace trace =
        stream_runner::Run(kLinkedExports, c.rate, c.frameSize, speech.samples);
    const stream_runner::Trace expected =
        ExpectedTrace(c.rate, c.frameSize, c.frameSize8k, speech.samples);
    ASSERT_TRUE(trace.created);
    EXPECT_EQ(trace.begins, expected.begins) << c.rate << "/" << c.frameSize;
    EXPECT_EQ(trace.ends, expected.ends) << c.rate << "/" << c.frameSize;
    EXPECT_EQ(trace.results, expected.results) << c.rate << "/" << c.frameSize;
    EXPECT_FALSE(stream_runner::Utterances(trace).empty()) << c.rate << "/" << c.frameSize;
  }
}

TEST(TesselAddSample, FramesCompleteInTheMiddleOfCallsAt11025) {
  const voiced_signal::Signal speech = Speech(11025, 3, 1);
  const std::vector<int16_t> converted = ConvertWhole(11025, speech.samples);
  SnrContext* context = static_cast<SnrContext*>(Tessel_Init(11025, 110));
  ASSERT_EQ(context->frameSize8k, 80);
  int32_t previousTotal = 0;
  bool sawMidCallFrame = false;
  for (size_t at = 0; at + 110 <= speech.samples.size(); at += 110) {
    Tessel_AddSample(context, speech.samples.data() + at);
    const int32_t total = int32_t(8000 * int64_t(at + 110) / 11025);
    ASSERT_TRUE(total - previousTotal == 79 || total - previousTotal == 80);
    // Frame n holds converted samples 80 (n - 1) ... 80 n - 1: those stepped so far are the
    // whole frames, and the rest waits in the buffer.
    ASSERT_EQ(context->samplesDone, total / 80 * 80) << "after input " << at + 110;
    ASSERT_EQ(context->frameFill, total % 80);
    ASSERT_EQ(0, std::memcmp(context->frameBuffer, converted.data() + context->samplesDone,
                             sizeof(int16_t) * size_t(context->frameFill)));
    sawMidCallFrame = sawMidCallFrame || (total / 80 > previousTotal / 80 && total % 80 != 0);
    previousTotal = total;
  }
  EXPECT_TRUE(sawMidCallFrame);
  Tessel_Release(context);
}

TEST(TesselAddSample, FindsEachUtteranceOfVoicedSpeechAtEveryRate) {
  struct Case {
    int32_t rate, frameSize;
  };
  for (const Case& c :
       {Case{8000, 160}, Case{8000, 80}, Case{11025, 220}, Case{16000, 320}, Case{16000, 160},
        Case{22050, 440}, Case{44100, 882}, Case{48000, 960}, Case{48000, 480}}) {
    for (int32_t noise : {50, 1500}) {
      const voiced_signal::Signal speech = Speech(c.rate, 7 + uint32_t(noise), 4, noise);
      const std::vector<stream_runner::Detected> found = stream_runner::Utterances(
          stream_runner::Run(kLinkedExports, c.rate, c.frameSize, speech.samples));
      ASSERT_EQ(found.size(), speech.utterances.size())
          << c.rate << "/" << c.frameSize << " noise " << noise;
      for (size_t u = 0; u < found.size(); ++u) {
        // A begin is placed some 30 frames before the voice takes hold; an end is read half
        // a second before one second of silence is complete.
        const double beginLead = double(speech.utterances[u].begin - found[u].begin) / c.rate;
        const double endLag = double(found[u].end - speech.utterances[u].end) / c.rate;
        EXPECT_GT(beginLead, 0.2) << c.rate << " utterance " << u;
        EXPECT_LT(beginLead, 0.8) << c.rate << " utterance " << u;
        EXPECT_GT(endLag, 0.2) << c.rate << " utterance " << u;
        EXPECT_LT(endLag, 0.8) << c.rate << " utterance " << u;
      }
    }
  }
}

}  // namespace
