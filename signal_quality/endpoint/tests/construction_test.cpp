#include <algorithm>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "detector_fixture.h"
#include "pitch/periodicity.h"

namespace {

// The analysis shape each rate and frame length give, and the area holding the detector, its
// window, the halved frame and the periodicity work, in that order and without overlap.
TEST(EndpointDetectorInit, DerivesTheShapeAndLaysOutTheArea) {
  const struct {
    int32_t rate, frameLength, windowSpan, warmupFrames, endHangover;
  } shapes[] = {
      {8000, 160, 512, 4, 50},   {8000, 80, 512, 7, 100},   {8000, 100, 512, 6, 80},
      {16000, 320, 1024, 4, 50}, {12000, 240, 1024, 5, 50}, {2000, 40, 128, 4, 50},
      {2000, 21, 128, 7, 95},
  };
  for (const auto& s : shapes) {
    SCOPED_TRACE(testing::Message() << s.rate << " Hz, " << s.frameLength);
    DetectorArea area(s.rate, s.frameLength);
    ASSERT_NE(area.detector, nullptr);
    const EndpointDetector& d = *area.detector;
    EXPECT_EQ(d.windowSpan, s.windowSpan);
    EXPECT_EQ(d.warmupFrames, s.warmupFrames);
    EXPECT_EQ(d.endHangover, s.endHangover);
    EXPECT_EQ(d.minThreshold, 156);
    EXPECT_EQ(d.threshold, 156);
    EXPECT_EQ(d.framesSeen, 0);
    EXPECT_EQ(EndpointDetector_FramesSinceBegin(area.detector), -1);

    const auto* start = reinterpret_cast<const unsigned char*>(area.storage.data());
    const auto* window = reinterpret_cast<const unsigned char*>(d.window);
    const auto* halved = reinterpret_cast<const unsigned char*>(d.halvedFrame);
    const auto* work = static_cast<const unsigned char*>(d.periodicityWork);
    // The largest halvedFrame content: after the first halving, or the whole frame at 2 kHz.
    const int32_t halvedSamples = s.rate > 2000 ? s.frameLength / 2 : s.frameLength;
    EXPECT_EQ(static_cast<const void*>(area.detector), static_cast<const void*>(start));
    EXPECT_GE(window, start + sizeof(EndpointDetector));
    EXPECT_GE(halved, window + 128 * sizeof(int16_t));
    EXPECT_GE(work, halved + halvedSamples * sizeof(int16_t));
    EXPECT_EQ((work - start) % 4, 0);
    EXPECT_LE(work + kPeriodicityWorkBytes,
              start + EndpointDetector_WorkSize(s.rate, s.frameLength));
  }
}

TEST(EndpointDetectorInit, RefusesUnusableRatesAndFrameLengthsWithMinusOne) {
  const std::pair<int32_t, int32_t> refused[] = {
      {8000, 82},    // not a multiple of 4 for two halvings
      {8000, 79},    // below 10 ms
      {8000, 161},   // above 20 ms
      {1999, 20},    // below 2000 Hz
      {16001, 200},  // above 16000 Hz
      {2001, 40},    // window would be 64 samples at 1000 Hz
  };
  for (const auto& [rate, frameLength] : refused) {
    SCOPED_TRACE(testing::Message() << rate << " Hz, " << frameLength);
    std::vector<std::max_align_t> storage(1024);
    const auto* bytes = reinterpret_cast<const unsigned char*>(storage.data());
    std::fill_n(reinterpret_cast<unsigned char*>(storage.data()), 4096, 0xA5);
    int32_t error = 0;
    EXPECT_EQ(EndpointDetector_Init(rate, frameLength, storage.data(), 4096, &error), nullptr);
    EXPECT_EQ(error, -1);
    EXPECT_TRUE(std::all_of(bytes, bytes + 4096, [](unsigned char b) { return b == 0xA5; }));
  }
  EXPECT_EQ(EndpointDetector_WorkSize(8000, 79), -1);
  EXPECT_EQ(EndpointDetector_WorkSize(8000, 161), -1);
  std::vector<std::max_align_t> storage(1024);
  EXPECT_EQ(EndpointDetector_Init(8000, 82, storage.data(), 4096, nullptr), nullptr);
  // An owner that places the area after 82 frame samples (164 bytes) still hears -1.
  int32_t error = 0;
  auto* afterFrame = reinterpret_cast<unsigned char*>(storage.data()) + 164;
  EXPECT_EQ(
      EndpointDetector_Init(8000, 82, afterFrame, EndpointDetector_WorkSize(8000, 82), &error),
      nullptr);
  EXPECT_EQ(error, -1);
}

}  // namespace
