#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "context/stream_context.h"
#include "support/linked_exports.h"
#include "support/stream_runner.h"
#include "support/voiced_signal.h"
#include "tessel.h"

namespace {

voiced_signal::Signal Speech(int32_t rate, int32_t utterances, int32_t voiceAmplitude = 9000) {
  voiced_signal::Options options;
  options.rate = rate;
  options.utteranceCount = utterances;
  options.voiceAmplitude = voiceAmplitude;
  options.seed = 17;
  return voiced_signal::Make(options);
}

struct Readout {
  int32_t result, begin, end;
};

Readout Push(void* context, const int16_t* frame) {
  Readout r{Tessel_AddSample(context, frame), 0, 0};
  Tessel_GetUttrEPD(context, &r.begin, &r.end);
  return r;
}

TEST(ContextState, ReturnsOneFromTheFirstEndOnAndGoesOnDetecting) {
  const voiced_signal::Signal speech = Speech(16000, 3);
  void* context = Tessel_Init(16000, 320);
  bool ended = false;
  int32_t endsSeen = 0;
  int32_t lastEnd = -1;
  for (size_t at = 0; at + 320 <= speech.samples.size(); at += 320) {
    const Readout r = Push(context, speech.samples.data() + at);
    if (r.end != lastEnd) ++endsSeen;
    lastEnd = r.end;
    ended = ended || r.end >= 0;
    ASSERT_EQ(r.result, ended ? 1 : 0) << "call " << at / 320;
  }
  EXPECT_EQ(endsSeen, 3) << "the detector goes on after an end and finds the later ones";
  Tessel_Release(context);
}

TEST(ContextState, ResetRestartsTheStreamCompletely) {
  const voiced_signal::Signal speech = Speech(22050, 2);
  SnrContext* fresh = static_cast<SnrContext*>(Tessel_Init(22050, 440));
  SnrContext* reused = static_cast<SnrContext*>(Tessel_Init(22050, 440));
  // Leave the context in the middle of everything: inside an utterance, a partial frame
  // gathered, the filter ringing.
  for (size_t at = 0; at + 440 <= speech.samples.size() * 2 / 3; at += 440) {
    Tessel_AddSample(reused, speech.samples.data() + at);
  }
  ASSERT_NE(reused->frameFill, 0);
  Tessel_Reset(reused);
  for (size_t at = 0, call = 0; at + 440 <= speech.samples.size(); at += 440, ++call) {
    const Readout expected = Push(fresh, speech.samples.data() + at);
    const Readout r = Push(reused, speech.samples.data() + at);
    ASSERT_EQ(r.result, expected.result) << "call " << call;
    ASSERT_EQ(r.begin, expected.begin) << "call " << call;
    ASSERT_EQ(r.end, expected.end) << "call " << call;
    // The converted samples too, not only what the detector made of them.
    ASSERT_EQ(reused->frameFill, fresh->frameFill) << "call " << call;
    ASSERT_EQ(0, std::memcmp(reused->frameBuffer, fresh->frameBuffer,
                             sizeof(int16_t) * size_t(fresh->frameFill)))
        << "call " << call;
  }
  EXPECT_GT(fresh->beginTime, 0.0f);
  Tessel_Release(fresh);
  Tessel_Release(reused);
}

TEST(ContextState, ThresholdStaysInForceAfterReset) {
  // Quiet speech: found at the default threshold, not after a raised one and a reset.
  const voiced_signal::Signal quiet = Speech(8000, 2, 1500);
  ASSERT_EQ(stream_runner::Utterances(stream_runner::Run(kLinkedExports, 8000, 160, quiet.samples))
                .size(),
            2u);

  void* context = Tessel_Init(8000, 160);
  EXPECT_EQ(Tessel_SetVADThreshold(context, 5000), 0);
  Tessel_Reset(context);
  EXPECT_EQ(static_cast<SnrContext*>(context)->detector->minThreshold, 5000);
  for (size_t at = 0; at + 160 <= quiet.samples.size(); at += 160) {
    const Readout r = Push(context, quiet.samples.data() + at);
    ASSERT_EQ(r.begin, -1) << "call " << at / 160;
  }
  Tessel_Release(context);
}

TEST(ContextState, NullSamplesAreRefusedWithoutTouchingTheContext) {
  const voiced_signal::Signal speech = Speech(11025, 1);
  SnrContext* context = static_cast<SnrContext*>(Tessel_Init(11025, 220));
  for (size_t at = 0; at + 220 <= speech.samples.size() / 2; at += 220) {
    Tessel_AddSample(context, speech.samples.data() + at);
  }
  const SnrContext record = *context;
  const RateConverter converter = *context->converter;
  const size_t blockSize = 2 * size_t(context->frameSize8k) + size_t(context->detectorWorkSize);
  const std::vector<char> block(static_cast<char*>(context->workBlock),
                                static_cast<char*>(context->workBlock) + blockSize);

  EXPECT_EQ(Tessel_AddSample(context, nullptr), -1);
  EXPECT_EQ(std::memcmp(&record, context, sizeof record), 0);
  EXPECT_EQ(std::memcmp(&converter, context->converter, sizeof converter), 0);
  EXPECT_EQ(std::memcmp(block.data(), context->workBlock, blockSize), 0);
  Tessel_Release(context);
}

TEST(ContextState, PositionsPastTheInt32RangeReadAsItsLargestValue) {
  for (const auto& [rate, frameSize] : {std::pair{8000, 160}, std::pair{48000, 960}}) {
    const voiced_signal::Signal speech = Speech(rate, 1);
    SnrContext* context = static_cast<SnrContext*>(Tessel_Init(rate, frameSize));
    const int32_t frame8k = context->frameSize8k;
    // About 74.5 hours in, a quarter second before the 8 kHz count leaves the int32 range: the
    // lead-in crosses it, the utterance lies wholly beyond.
    const int64_t start = (INT32_MAX - 2000) / frame8k * frame8k;
    context->samplesDone = start;
    int64_t frames = 0;
    Readout last{};
    for (size_t at = 0; at + size_t(frameSize) <= speech.samples.size(); at += size_t(frameSize)) {
      last = Push(context, speech.samples.data() + at);
      ++frames;
      ASSERT_TRUE(last.begin == -1 || last.begin == INT32_MAX) << rate << ": " << last.begin;
      ASSERT_TRUE(last.end == -1 || last.end == INT32_MAX) << rate << ": " << last.end;
    }
    EXPECT_EQ(last.result, 1) << rate;
    EXPECT_EQ(last.begin, INT32_MAX) << rate;
    EXPECT_EQ(context->samplesDone, start + frames * frame8k) << rate;
    Tessel_Release(context);
  }
}

}  // namespace
