#include "context/utterance_times.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

uint32_t Bits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

TEST(UtteranceBeginTime, IsTheStartOfTheFrameTheDetectorChose) {
  // Begin found on the frame starting at 8 kHz sample 16000, placed 32 frames of 160 earlier.
  const float begin = UtteranceBeginTime(16000, 32, 160);
  EXPECT_EQ(double(begin), 1.36000001430511474609375);
  EXPECT_EQ(UtteranceBeginTime(16000, 0, 160), 2.0f);
  EXPECT_EQ(UtteranceBeginTime(160, 1, 160), 0.0f);
  EXPECT_EQ(UtteranceBeginTime(3960, 2, 80), 0.475f);
}

TEST(InputSamplesAt, TruncatesTheDoubleProductOfRateAndStoredTime) {
  const float begin = UtteranceBeginTime(16000, 32, 160);
  EXPECT_EQ(InputSamplesAt(44100, begin), 59976);
  EXPECT_EQ(InputSamplesAt(16000, begin), 21760);
  EXPECT_EQ(InputSamplesAt(11025, begin), 14994);
  // 0.7 is stored just below 0.7: integer or rounded arithmetic would give 5600.
  EXPECT_EQ(InputSamplesAt(8000, 0.7f), 5599);
  EXPECT_EQ(InputSamplesAt(48000, 0.7f), 33599);
  EXPECT_EQ(InputSamplesAt(8000, 0.0f), 0);
  // 0.3 is stored just above 0.3.
  EXPECT_EQ(InputSamplesAt(8000, 0.3f), 2400);
}

TEST(InputSamplesAt, GivesMinusOneForNoTime) {
  EXPECT_EQ(InputSamplesAt(8000, -1.0f), -1);
  EXPECT_EQ(InputSamplesAt(48000, -1.0f), -1);
}

TEST(InputSamplesAt, SaturatesWherePositionsLeaveTheInt32Range) {
  // 12.5 hours at 48 kHz is beyond 2^31 samples.
  EXPECT_EQ(InputSamplesAt(48000, 45000.0f), INT32_MAX);
  EXPECT_EQ(InputSamplesAt(48000, 268435.0f), INT32_MAX);
  EXPECT_EQ(InputSamplesAt(8000, 3.0e38f), INT32_MAX);
  // Just below the limit the count is exact.
  EXPECT_EQ(InputSamplesAt(8000, 268435.4375f), 2147483500);
  EXPECT_EQ(InputSamplesAt(44100, 48695.0f), 2147449500);
}

TEST(UtteranceEndTime, IsTheStartOfTheDeclaringFrameWhenShorterThanOneSecond) {
  EXPECT_EQ(UtteranceEndTime(15840, 1.0f), 1.98f);
  EXPECT_EQ(UtteranceEndTime(8000, 0.5f), 1.0f);
}

TEST(UtteranceEndTime, MovesHalfASecondBackFromOneSecondOnIncludingExactlyOne) {
  EXPECT_EQ(UtteranceEndTime(16000, 1.0f), 1.5f);  // exactly 1.0 s
  EXPECT_EQ(UtteranceEndTime(16160, 1.0f), 1.52f);
  EXPECT_EQ(UtteranceEndTime(80000, 0.0f), 9.5f);
}

TEST(UtteranceEndTime, DecidesOnTheStoredFloatTimesNotOnSamplePositions) {
  // Begin 0.36 s (frame at 2880) and declaration at 1.36 s (10880): 8000 samples apart, but
  // the stored floats lie 1.0 s apart only just; the rule compares the floats widened to
  // double, where 1.36f >= 0.36f + 1.0 holds.
  const float begin = UtteranceBeginTime(2880, 0, 160);
  EXPECT_EQ(Bits(UtteranceEndTime(10880, begin)), Bits(float(double(1.36f) - 0.5)));
  // Begin 0.02 s and declaration at 1.02 s: the floats, widened, lie less than 1.0 s apart,
  // so the end stays although the positions are exactly 8000 samples apart.
  const float shortBegin = UtteranceBeginTime(160, 0, 160);
  ASSERT_LT(double(1.02f), double(shortBegin) + 1.0);
  EXPECT_EQ(UtteranceEndTime(8160, shortBegin), 1.02f);
}

}  // namespace
