#include <cstdint>

#include <gtest/gtest.h>

#include "detector_fixture.h"
#include "endpoint/level_tracking.h"
#include "endpoint/utterance_decision.h"

namespace {

constexpr float kVoiced = 150.0f;
constexpr float kNoPitch = -1.0f;
constexpr int32_t kLoud = 60000;

TEST(AdaptiveThreshold, WideGapLiesBetweenLevelsNarrowGapAbovePeak) {
  EXPECT_EQ(AdaptiveThreshold(1000, 100), 191);   // gap 230
  EXPECT_EQ(AdaptiveThreshold(1000, 351), 579);   // gap 166, still wide
  EXPECT_EQ(AdaptiveThreshold(1000, 352), 1097);  // gap 165: 281/256 of the peak
  EXPECT_EQ(AdaptiveThreshold(1000, 700), 1097);
  EXPECT_EQ(AdaptiveThreshold(1, 1), 1);
  EXPECT_EQ(AdaptiveThreshold(65536, 1), 256);
}

TEST(TrackLevels, PeakDecaysAndFloorRisesByOne256thOfTheDistance) {
  DetectorArea area(8000, 160);
  EndpointDetector* d = area.detector;
  EXPECT_EQ(TrackLevels(d, 700.9f), 700);  // first tracked frame starts both trackers
  EXPECT_EQ(d->peakLevel, 700);
  EXPECT_EQ(d->floorLevel, 700);
  EXPECT_EQ(d->threshold, 768);  // narrow gap: (700 * 281) >> 8

  d->peakLevel = 1000;
  d->floorLevel = 100;
  EXPECT_EQ(TrackLevels(d, 500.7f), 500);
  EXPECT_EQ(d->peakLevel, 998);
  EXPECT_EQ(d->floorLevel, 101);

  d->peakLevel = 1000;
  d->floorLevel = 100;
  EXPECT_EQ(TrackLevels(d, 50.2f), 50);
  EXPECT_EQ(d->peakLevel, 996);
  EXPECT_EQ(d->floorLevel, 50);  // 99 after the decay, then cut to the frame's 50

  d->floorLevel = 101;
  EXPECT_EQ(TrackLevels(d, 99.5f), 99);
  EXPECT_EQ(d->floorLevel, 99);  // 100 after the decay, one above the frame: still cut
}

TEST(TrackLevels, ClampsByMinThresholdThenBy16384) {
  DetectorArea area(8000, 160);
  EndpointDetector* d = area.detector;
  TrackLevels(d, 3.0f);
  EXPECT_EQ(d->threshold, 156);
  EndpointDetector_SetMinThreshold(d, 2);
  TrackLevels(d, 3.0f);
  EXPECT_EQ(d->threshold, 3);  // (3 * 281) >> 8
  EndpointDetector_SetMinThreshold(d, 20000);
  TrackLevels(d, 3.0f);
  EXPECT_EQ(d->threshold, 16384);
  TrackLevels(d, 65536.0f);
  EXPECT_EQ(d->threshold, 16384);
}

// Advances a waiting detector by one tracked frame.
int32_t WaitingFrame(EndpointDetector* d, float pitch, int32_t energy = kLoud) {
  ++d->framesSeen;
  ++d->preBeginFrames;
  return BeginTest(d, pitch, energy);
}

TEST(BeginTest, NeedsTwoSpeechLikeFramesInARow) {
  DetectorArea area(8000, 160);
  EndpointDetector* d = area.detector;
  d->framesSeen = 3;
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(WaitingFrame(d, kNoPitch), 0);
    EXPECT_EQ(WaitingFrame(d, kVoiced), 0);
  }
  EXPECT_EQ(WaitingFrame(d, kVoiced, 155), 0);  // voiced but below the threshold
  EXPECT_EQ(WaitingFrame(d, 79.99f), 0);        // loud but pitch below 80
  EXPECT_EQ(d->preBeginFrames, 30);
  EXPECT_EQ(WaitingFrame(d, 80.0f), 0);
  EXPECT_EQ(d->preBeginFrames, 31);
  // 30 pause frames plus the two speech-like ones: the begin lies 32 frames back.
  const int32_t beginFrame = WaitingFrame(d, kVoiced, 156);
  EXPECT_EQ(beginFrame, d->framesSeen - 32);
  EXPECT_EQ(d->framesSinceBegin, 32);
  EXPECT_EQ(d->preBeginFrames, 0);
  EXPECT_EQ(d->runLength, 0);
}

TEST(EndTest, EndsAfterHangoverAndASingleSpeechLikeFrameRestartsTheCount) {
  DetectorArea area(8000, 160);
  EndpointDetector* d = area.detector;
  d->beginFrame = 10;
  d->framesSeen = 12;
  d->framesSinceBegin = 2;
  auto inside = [d](float pitch) {
    ++d->framesSeen;
    ++d->framesSinceBegin;
    return EndTest(d, pitch, kLoud);
  };
  for (int i = 0; i < 49; ++i) ASSERT_EQ(inside(kNoPitch), 0) << i;
  EXPECT_EQ(inside(kVoiced), 0);
  for (int i = 0; i < 49; ++i) ASSERT_EQ(inside(kNoPitch), 0) << i;
  EXPECT_EQ(inside(kNoPitch), 112);
  EXPECT_EQ(d->framesSeen, 112);
  EXPECT_EQ(d->runLength, 0);
}

}  // namespace
