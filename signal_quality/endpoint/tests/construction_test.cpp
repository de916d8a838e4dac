#include <algorithm>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "detector_fixture.h"
#include "endpoint/analysis_shape.h"
#include "pitch/periodicity.h"

namespace {

struct Shape {
  int32_t rate, frameLength, windowSpan, warmupFrames, endHangover;
};

TEST(EndpointDetectorInit, DerivesWindowWarmupAndHangoverFromRateAndFrame) {
  const Shape shapes[] = {
      {8000, 160, 512, 4, 50},   {8000, 80, 512, 7, 100},   {8000, 100, 512, 6, 80},
      {16000, 320, 1024, 4, 50}, {12000, 240, 1024, 5, 50}, {2000, 40, 128, 4, 50},
  };
  for (const Shape& s : shapes) {
    SCOPED_TRACE(testing::Message() << s.rate << " Hz, " << s.frameLength);
    DetectorArea area(s.rate, s.frameLength);
    ASSERT_NE(area.detector, nullptr);
    const EndpointDetector& d = *area.detector;
    EXPECT_EQ(static_cast<void*>(area.detector), static_cast<void*>(area.storage.data()));
    EXPECT_EQ(d.windowSpan, s.windowSpan);
    EXPECT_EQ(d.warmupFrames, s.warmupFrames);
    EXPECT_EQ(d.endHangover, s.endHangover);
    EXPECT_EQ(d.minThreshold, 156);
    EXPECT_EQ(d.threshold, 156);
    EXPECT_EQ(d.framesSeen, 0);
    EXPECT_EQ(EndpointDetector_FramesSinceBegin(area.detector), -1);
  }
}

TEST(EndpointDetectorInit, BuffersLieInsideTheAreaWithoutOverlap) {
  for (const auto& [rate, frameLength] :
       {std::pair{8000, 160}, {8000, 100}, {16000, 320}, {12000, 240}, {2000, 21}, {2000, 40}}) {
    SCOPED_TRACE(testing::Message() << rate << " Hz, " << frameLength);
    DetectorArea area(rate, frameLength);
    ASSERT_NE(area.detector, nullptr);
    const auto* start = reinterpret_cast<const unsigned char*>(area.storage.data());
    const auto* end = start + EndpointDetector_WorkSize(rate, frameLength);
    const auto* window = reinterpret_cast<const unsigned char*>(area.detector->window);
    const auto* halved = reinterpret_cast<const unsigned char*>(area.detector->halvedFrame);
    const auto* work = static_cast<const unsigned char*>(area.detector->periodicityWork);
    // The largest halvedFrame content: after the first halving, or the whole frame at 2 kHz.
    const int32_t halvedSamples = rate > 2000 ? frameLength / 2 : frameLength;
    EXPECT_GE(window, start + sizeof(EndpointDetector));
    EXPECT_GE(halved, window + 128 * sizeof(int16_t));
    EXPECT_GE(work, halved + halvedSamples * sizeof(int16_t));
    EXPECT_EQ((work - start) % 4, 0);
    EXPECT_LE(work + kPeriodicityWorkBytes, end);
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

TEST(EndpointDetectorInit, RefusesMissingShortOrMisalignedAreaWithMinusTwo) {
  const int32_t size = EndpointDetector_WorkSize(8000, 160);
  ASSERT_GT(size, 0);
  std::vector<std::max_align_t> storage(size_t(size) / sizeof(std::max_align_t) + 2);
  int32_t error = 0;
  EXPECT_EQ(EndpointDetector_Init(8000, 160, nullptr, size, &error), nullptr);
  EXPECT_EQ(error, -2);
  error = 0;
  EXPECT_EQ(EndpointDetector_Init(8000, 160, storage.data(), size - 1, &error), nullptr);
  EXPECT_EQ(error, -2);
  error = 0;
  auto* shifted = reinterpret_cast<unsigned char*>(storage.data()) + 2;
  EXPECT_EQ(EndpointDetector_Init(8000, 160, shifted, size, &error), nullptr);
  EXPECT_EQ(error, -2);

  error = 12345;
  EXPECT_NE(EndpointDetector_Init(8000, 160, storage.data(), size, &error), nullptr);
  EXPECT_EQ(error, 12345);
}

TEST(EndpointDetectorInit, NextPowerOfTwo) {
  // clang-format off
  const std::pair<int32_t, int32_t> cases[] = {
      {-7, 1}, {0, 1}, {1, 1}, {2, 2}, {3, 4}, {512, 512}, {513, 1024}, {1 << 30, 1 << 30},
      {(1 << 30) + 1, -1}};
  // clang-format on
  for (const auto& [x, power] : cases) EXPECT_EQ(NextPowerOfTwo(x), power) << x;
}

TEST(EndpointDetectorInit, NullDetectorIsRefusedEverywhere) {
  const int16_t frame[160] = {};
  EXPECT_EQ(EndpointDetector_Step(nullptr, frame), -1);
  EXPECT_EQ(EndpointDetector_Reset(nullptr), -1);
  EXPECT_EQ(EndpointDetector_Rearm(nullptr), -1);
  EXPECT_EQ(EndpointDetector_FramesSinceBegin(nullptr), -1);
  EXPECT_EQ(EndpointDetector_SetMinThreshold(nullptr, 5), -1);
  EXPECT_EQ(EndpointDetector_Release(nullptr), -1);

  DetectorArea area(8000, 160);
  EXPECT_EQ(EndpointDetector_Step(area.detector, nullptr), -1);
  EXPECT_EQ(area.detector->framesSeen, 0);
  EXPECT_EQ(EndpointDetector_Release(area.detector), 0);
}

}  // namespace
