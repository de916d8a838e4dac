#include <vector>

#include <gtest/gtest.h>

#include "snr/snr_estimator.h"
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

// What the export adds to the estimate: the span as it is and the difference of the levels as
// a float, or zeros where nothing is measurable (no frame, frames of one level, an empty span).
TEST(GetSnr, ReportsTheEstimateOrZerosWhenNothingIsMeasurable) {
  const struct {
    std::vector<int16_t> samples;
    bool measurable;
  } cases[] = {{Burst(), true},
               {std::vector<int16_t>(385, 0), false},
               {std::vector<int16_t>(384, 0), false},
               {std::vector<int16_t>(1000, 11), false},
               {std::vector<int16_t>(256, 5000), false},
               {std::vector<int16_t>(100, 5000), false}};
  for (const auto& [samples, measurable] : cases) {
    const int32_t count = int32_t(samples.size());
    testing::internal::CaptureStderr();
    const SnrEstimate estimate = EstimateSnr(samples.data(), count);
    Outputs out;
    EXPECT_EQ(Tessel_GetSNR(kHandle, samples.data(), count, &out.begin, &out.end, &out.snr), 0);
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(estimate.hasSpan, measurable) << count;
    EXPECT_EQ(out.begin, measurable ? estimate.spanBegin : 0) << count;
    EXPECT_EQ(out.end, measurable ? estimate.spanEnd : 0) << count;
    EXPECT_EQ(out.snr, measurable ? float(estimate.speechLevelDb - estimate.noiseLevelDb) : 0.0f)
        << count;
  }
  const std::vector<int16_t> loud(256, 5000);
  for (const int16_t* samples : {loud.data(), static_cast<const int16_t*>(nullptr)}) {
    for (int32_t count : {0, -20}) {
      Outputs out;
      EXPECT_EQ(Tessel_GetSNR(kHandle, samples, count, &out.begin, &out.end, &out.snr), 0);
      EXPECT_EQ(out.begin, 0);
      EXPECT_EQ(out.end, 0);
      EXPECT_EQ(out.snr, 0.0f);
    }
  }
}

TEST(GetSnr, NullHandleOrSamplesWriteNothingAndNullOutputsAreSkipped) {
  std::vector<int16_t> samples = Burst();
  Outputs out;
  EXPECT_EQ(Tessel_GetSNR(nullptr, samples.data(), 8000, &out.begin, &out.end, &out.snr), -1);
  EXPECT_EQ(Tessel_GetSNR(kHandle, nullptr, 8000, &out.begin, &out.end, &out.snr), -1);
  EXPECT_EQ(Tessel_GetSNR(kHandle, samples.data(), 8000, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(Tessel_GetSNR(kHandle, samples.data(), 8000, nullptr, &out.end, nullptr), 0);
  EXPECT_EQ(out.begin, -7);
  EXPECT_EQ(out.end, 5888);
  EXPECT_EQ(out.snr, -7.0f);
}

}  // namespace
