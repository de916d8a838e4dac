#include <algorithm>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "detector_fixture.h"
#include "endpoint/preprocess.h"

namespace {

// Index of the first step with this result at or after from, or -1.
int32_t FindResult(const std::vector<int32_t>& results, int32_t result, size_t from = 0) {
  const auto at = std::find(results.begin() + long(from), results.end(), result);
  return at == results.end() ? -1 : int32_t(at - results.begin());
}

TEST(EndpointDetectorStep, WarmupIgnoresTheFirstThreeFramesWhateverTheyHold) {
  DetectorArea area(8000, 160);
  const std::vector<int32_t> results = StepAll(area.detector, Voiced(6, 150.0));
  // Frame 4 is the first tracked one, so the second speech-like frame is frame 5.
  EXPECT_EQ(results, (std::vector<int32_t>{0, 0, 0, 0, 1, 2}));
  EXPECT_EQ(area.detector->beginFrame, 3);  // lookback 2: never before the first frame
}

TEST(EndpointDetectorStep, SilenceNeverBegins) {
  DetectorArea area(8000, 160);
  const std::vector<int32_t> results = StepAll(area.detector, Recording(160 * 500, 0));
  EXPECT_TRUE(std::all_of(results.begin(), results.end(), [](int32_t r) { return r == 0; }));
  EXPECT_EQ(area.detector->peakLevel, 1);
  EXPECT_EQ(area.detector->floorLevel, 1);
  EXPECT_EQ(area.detector->threshold, 156);
}

TEST(EndpointDetectorStep, FlooredShiftsLeaveANegativeRestAfterAFall) {
  DetectorArea area(8000, 160);
  // After the fall to silence the DC blocker decays from below and stops at -39, where
  // (998 * -39) >> 10 is -39 again; scaled by 1/16 with a floored shift that gives -3.
  StepAll(area.detector, Recording(160, 1000) + Recording(160 * 40, 0));
  EXPECT_EQ(area.detector->dcPrevOutput, -39);
  const int16_t* window = area.detector->window;
  EXPECT_TRUE(std::all_of(window, window + 128, [](int16_t s) { return s == -3; }));
}

TEST(EndpointDetectorStep, EndsOneSecondAfterTheLastVoicedFrame) {
  DetectorArea area(8000, 160);
  EndpointDetector* d = area.detector;
  // The window still holds voiced samples for up to three frames after the voice stops.
  const std::vector<int32_t> results = StepAll(d, Noise(40) + Voiced(20, 180.0) + Noise(100));
  const int32_t begin = FindResult(results, 1);
  const int32_t end = FindResult(results, 3);
  ASSERT_EQ(begin, 41);
  ASSERT_GE(end, 60 + 49);
  ASSERT_LE(end, 60 + 49 + 3);
  for (int32_t i = begin + 1; i < end; ++i) EXPECT_EQ(results[size_t(i)], 2) << i;
  for (size_t i = size_t(end) + 1; i < results.size(); ++i) EXPECT_EQ(results[i], 0) << i;

  // Without a re-arm the detector stays ended, whatever follows.
  const std::vector<int32_t> later = StepAll(d, Voiced(30, 150.0) + Noise(80, 40, 99));
  EXPECT_TRUE(std::all_of(later.begin(), later.end(), [](int32_t r) { return r == 0; }));
}

TEST(EndpointDetectorStep, RearmLooksForANewUtteranceWithoutWarmup) {
  DetectorArea area(8000, 160);
  EndpointDetector* d = area.detector;
  const std::vector<int32_t> first = StepAll(d, Noise(40) + Voiced(10, 150.0) + Noise(60));
  const int32_t end = FindResult(first, 3);
  ASSERT_GT(end, 0);
  const std::vector<int32_t> ended = StepAll(d, Noise(5, 40, 7));
  EXPECT_EQ(ended, std::vector<int32_t>(5, 0));

  EXPECT_EQ(EndpointDetector_Rearm(d), 0);
  EXPECT_EQ(EndpointDetector_FramesSinceBegin(d), -1);
  const std::vector<int32_t> second = StepAll(d, Noise(1, 40, 8) + Voiced(2, 150.0));
  EXPECT_EQ(second, (std::vector<int32_t>{0, 0, 1}));
  // The begin is not placed before the frame of the re-arm.
  EXPECT_EQ(EndpointDetector_FramesSinceBegin(d), 3);
}

TEST(EndpointDetectorStep, ResetForgetsTheStreamAsAFreshDetector) {
  DetectorArea used(8000, 160);
  DetectorArea fresh(8000, 160);
  StepAll(used.detector, Noise(20) + Voiced(5, 150.0));
  EXPECT_EQ(EndpointDetector_Reset(used.detector), 0);
  // Three frames fill the window short of its oldest 8 samples: anything left of the old
  // filter states would still show there.
  const Recording start = Voiced(3, 150.0);
  EXPECT_EQ(StepAll(used.detector, start), StepAll(fresh.detector, start));
  EXPECT_TRUE(
      std::equal(used.detector->window, used.detector->window + 128, fresh.detector->window));
  EXPECT_EQ(StepAll(used.detector, Voiced(2, 150.0)), (std::vector<int32_t>{0, 1}));
}

TEST(EndpointDetectorStep, LoudHumBelow80HzIsNeverSpeechLike) {
  for (const double hz : {40.0, 60.0, 75.0}) {
    DetectorArea area(8000, 160);
    const std::vector<int32_t> results =
        StepAll(area.detector, Noise(40) + test_signals::Tone(150 * 160, hz, 12000.0, 8000));
    EXPECT_EQ(FindResult(results, 1), -1) << hz << " Hz";
  }
  // The same tone above 80 Hz begins at once: the energy alone would have passed.
  DetectorArea area(8000, 160);
  const std::vector<int32_t> results =
      StepAll(area.detector, Noise(40) + test_signals::Tone(10 * 160, 150.0, 12000.0, 8000));
  EXPECT_EQ(FindResult(results, 1), 41);
}

// Without halvings the frame goes to the window as it comes: a 2000 Hz detector fed the
// halved signal must judge exactly as the 8000 Hz detector does.
TEST(EndpointDetectorStep, TwoKilohertzDetectorAnalysesWholeFrames) {
  DetectorArea fast(8000, 160);
  DetectorArea slow(2000, 40);
  ASSERT_NE(slow.detector, nullptr);
  const Recording samples = Noise(40) + Voiced(20, 150.0) + Noise(70);
  Recording halved(samples.size() / 4);
  int16_t first = 0;
  int16_t second = 0;
  for (size_t at = 0; at < samples.size(); at += 160) {
    int16_t stage[80];
    HalveRate(samples.data() + at, 160, stage, &first);
    HalveRate(stage, 80, halved.data() + at / 4, &second);
  }
  const std::vector<int32_t> expected = StepAll(fast.detector, samples);
  EXPECT_EQ(StepAll(slow.detector, halved), expected);
  EXPECT_TRUE(
      std::equal(slow.detector->window, slow.detector->window + 128, fast.detector->window));
  EXPECT_NE(FindResult(expected, 3), -1);
}

}  // namespace
