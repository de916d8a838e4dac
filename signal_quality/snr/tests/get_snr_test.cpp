#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "support/test_signals.h"
#include "tessel.h"

namespace {

int anyObject;
void* const kHandle = &anyObject;

struct Outputs {
  int32_t begin = -7;
  int32_t end = -7;
  float snr = -7.0f;
};

std::vector<int16_t> Burst() { return test_signals::SquareBurst(8000, 2000, 6000, 1, 1000, -1000); }

TEST(GetSnr, ReportsSpanAndDifferenceOfLevels) {
  std::vector<int16_t> samples = Burst();
  Outputs out;
  EXPECT_EQ(Tessel_GetSNR(kHandle, samples.data(), 8000, &out.begin, &out.end, &out.snr), 0);
  EXPECT_EQ(out.begin, 1792);
  EXPECT_EQ(out.end, 5888);
  EXPECT_NEAR(out.snr, 29.56, 0.005);
}

TEST(GetSnr, NullHandleOrNullSamplesWriteNothing) {
  std::vector<int16_t> samples = Burst();
  Outputs out;
  EXPECT_EQ(Tessel_GetSNR(nullptr, samples.data(), 8000, &out.begin, &out.end, &out.snr), -1);
  EXPECT_EQ(Tessel_GetSNR(kHandle, nullptr, 8000, &out.begin, &out.end, &out.snr), -1);
  EXPECT_EQ(out.begin, -7);
  EXPECT_EQ(out.end, -7);
  EXPECT_EQ(out.snr, -7.0f);
}

TEST(GetSnr, TooShortRecordingMeasuresNoSpeech) {
  std::vector<int16_t> samples(256, 5000);
  for (int32_t count : {256, 100, 0, -20}) {
    Outputs out;
    EXPECT_EQ(Tessel_GetSNR(kHandle, samples.data(), count, &out.begin, &out.end, &out.snr), 0);
    EXPECT_EQ(out.begin, 0);
    EXPECT_EQ(out.end, 0);
    EXPECT_EQ(out.snr, 0.0f);
  }
  Outputs out;
  EXPECT_EQ(Tessel_GetSNR(kHandle, nullptr, 0, &out.begin, &out.end, &out.snr), 0);
  EXPECT_EQ(out.snr, 0.0f);
}

TEST(GetSnr, SilenceAndSingleFrame) {
  Outputs out;
  std::vector<int16_t> silence(385, 0);
  EXPECT_EQ(Tessel_GetSNR(kHandle, silence.data(), 385, &out.begin, &out.end, &out.snr), 0);
  EXPECT_EQ(out.begin, 0);
  EXPECT_EQ(out.end, 128);
  EXPECT_EQ(out.snr, 0.0f);
  EXPECT_EQ(Tessel_GetSNR(kHandle, silence.data(), 384, &out.begin, &out.end, &out.snr), 0);
  EXPECT_EQ(out.begin, 0);
  EXPECT_EQ(out.end, 0);
  EXPECT_EQ(out.snr, static_cast<float>(-90.30899869919436 - (20.0 - 90.30899869919436)));
}

// Constant levels and square waves: whether any frame reaches the class threshold turns on
// float rounding in the two-class split. Where none does, nothing is measurable.
TEST(GetSnr, SpanNeverBeginsAfterItsEnd) {
  std::vector<int16_t> samples(4000);
  for (int level : {10, 11, 100, 1000, 1001, 12345, 31999, 32000, 32767, -3000}) {
    for (int32_t count : {257, 385, 1000, 4000}) {
      for (int32_t i = 0; i < count; ++i) {
        samples[i] = static_cast<int16_t>(level >= 0 || i % 2 == 0 ? level : -level);
      }
      Outputs out;
      ASSERT_EQ(Tessel_GetSNR(kHandle, samples.data(), count, &out.begin, &out.end, &out.snr), 0);
      EXPECT_LE(out.begin, out.end) << level << " x " << count;
    }
  }
  Outputs out;
  std::fill(samples.begin(), samples.begin() + 1000, int16_t{100});
  EXPECT_EQ(Tessel_GetSNR(kHandle, samples.data(), 1000, &out.begin, &out.end, &out.snr), 0);
  EXPECT_EQ(out.begin, 0);
  EXPECT_EQ(out.end, 0);
  EXPECT_EQ(out.snr, 0.0f);
}

TEST(GetSnr, NullOutputsAreSkipped) {
  std::vector<int16_t> samples = Burst();
  EXPECT_EQ(Tessel_GetSNR(kHandle, samples.data(), 8000, nullptr, nullptr, nullptr), 0);
  Outputs out;
  EXPECT_EQ(Tessel_GetSNR(kHandle, samples.data(), 8000, nullptr, &out.end, nullptr), 0);
  EXPECT_EQ(out.begin, -7);
  EXPECT_EQ(out.end, 5888);
  EXPECT_EQ(out.snr, -7.0f);
}

}  // namespace
