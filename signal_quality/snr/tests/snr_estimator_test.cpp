#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "snr/snr_estimator.h"
#include "support/seeded_random.h"
#include "support/test_signals.h"

namespace {

constexpr double kFullScaleDb = 90.30899869919436;

struct Outcome {
  SnrEstimate estimate;
  std::string warnings;
};

Outcome Estimate(const std::vector<int16_t>& samples) {
  testing::internal::CaptureStderr();
  Outcome run{EstimateSnr(samples.data(), static_cast<int32_t>(samples.size())), {}};
  run.warnings = testing::internal::GetCapturedStderr();
  return run;
}

std::vector<int16_t> Burst() { return test_signals::SquareBurst(8000, 2000, 6000, 1, 1000, -1000); }

TEST(SnrFrameCount, UsesFramesEndingStrictlyBeforeLastSample) {
  EXPECT_EQ(SnrFrameCount(-5), 0);
  EXPECT_EQ(SnrFrameCount(0), 0);
  EXPECT_EQ(SnrFrameCount(256), 0);
  EXPECT_EQ(SnrFrameCount(257), 1);
  EXPECT_EQ(SnrFrameCount(384), 1);
  EXPECT_EQ(SnrFrameCount(385), 2);
  EXPECT_EQ(SnrFrameCount(512), 2);
  EXPECT_EQ(SnrFrameCount(8000), 61);
  EXPECT_EQ(SnrFrameCount(INT32_MAX), (INT32_MAX - 257) / 128 + 1);
}

TEST(FrameLevel, PartialSumsGiveTheSameBitsAsTheDirectSum) {
  SeededRandom random(7);
  std::vector<int16_t> frame(256);
  for (int trial = 0; trial < 200; ++trial) {
    int64_t sum = 0;
    for (auto& s : frame) {
      s = static_cast<int16_t>(trial == 0 ? -32768 : int32_t(random.TopBits(16)) - 32768);
      sum += static_cast<int64_t>(s) * s;
    }
    EXPECT_EQ(FrameLevel(frame.data()), FrameLevelFromSumOfSquares(sum));
  }
  std::fill(frame.begin(), frame.end(), int16_t{-32768});
  EXPECT_EQ(FrameLevel(frame.data()), 32768.0);
}

TEST(EstimateSnr, BurstInSilence) {
  Outcome run = Estimate(Burst());
  ASSERT_TRUE(run.estimate.hasSpan);
  EXPECT_EQ(run.estimate.spanBegin, 1792);  // frame 14
  EXPECT_EQ(run.estimate.spanEnd, 5888);    // frame 46 holds the burst's tail and counts as noise
  EXPECT_NEAR(run.estimate.speechLevelDb, -30.52, 0.005);
  EXPECT_NEAR(run.estimate.noiseLevelDb, -60.08, 0.005);
  EXPECT_NEAR(run.estimate.speechLevelDb - run.estimate.noiseLevelDb, 29.56, 0.005);
  EXPECT_EQ(run.warnings, "");
}

// Frames of one level (after the clamp to 10 ... 32000), and a span with no frame in it, hold
// nothing to measure, whichever way the rounding of the two-class split would have gone.
TEST(EstimateSnr, OneLevelOrAnEmptySpanIsNothingMeasurable) {
  for (int level : {0, 10, 11, 16, 20, 50, 100, 1000, 12345, 30000, 32767, -3000}) {
    for (size_t count : {257u, 300u, 384u, 385u, 1000u, 4000u}) {
      std::vector<int16_t> samples(count, int16_t(level));
      if (level < 0)
        test_signals::SetSquareWave(samples, 0, count, 1, int16_t(level), int16_t(-level));
      EXPECT_FALSE(Estimate(samples).estimate.hasSpan) << level << " x " << count;
    }
  }
  // Only the last frame is loud: the scans for the begin and the end both stop on it.
  std::vector<int16_t> loudLastFrame(4000, 0);
  test_signals::SetSquareWave(loudLastFrame, 3840, 3968, 1, -3000, 3000);
  EXPECT_FALSE(Estimate(loudLastFrame).estimate.hasSpan);
  // One more loud frame makes a span of one frame, measured.
  test_signals::SetSquareWave(loudLastFrame, 3712, 3968, 1, -3000, 3000);
  const Outcome oneFrame = Estimate(loudLastFrame);
  ASSERT_TRUE(oneFrame.estimate.hasSpan);
  EXPECT_EQ(oneFrame.estimate.spanBegin, 3584);
  EXPECT_EQ(oneFrame.estimate.spanEnd, 3712);
}

TEST(EstimateSnr, FullScaleLevelsAreClampedTo32000) {
  Outcome run = Estimate(test_signals::SquareBurst(20000, 5000, 15000, 40, 32767, -32768));
  // Unclamped, the full-scale frames alone would give about -0.0001 dB.
  EXPECT_LE(run.estimate.speechLevelDb, 20.0 * std::log10(32000.0) - kFullScaleDb);
  EXPECT_GT(run.estimate.speechLevelDb, -0.3);
}

TEST(EstimateSnr, SpeechMeanUsesLowCodewordNotThreshold) {
  // Speech frames with a deep dip in the middle: the dip lies below the threshold but
  // above the low codeword, so it still counts towards the speech level.
  std::vector<int16_t> samples(128 * 60, 0);
  auto fill = [&](size_t firstFrame, size_t lastFrame, int16_t amplitude) {
    test_signals::SetSquareWave(samples, 128 * firstFrame, 128 * lastFrame, 1, int16_t(-amplitude),
                                amplitude);
  };
  fill(10, 20, 4000);
  fill(20, 30, 300);
  fill(30, 40, 4000);
  Outcome withDip = Estimate(samples);
  fill(20, 30, 4000);
  Outcome withoutDip = Estimate(samples);
  EXPECT_EQ(withDip.estimate.spanBegin, withoutDip.estimate.spanBegin);
  EXPECT_EQ(withDip.estimate.spanEnd, withoutDip.estimate.spanEnd);
  EXPECT_LT(withDip.estimate.speechLevelDb, withoutDip.estimate.speechLevelDb - 1.0);
}

}  // namespace
