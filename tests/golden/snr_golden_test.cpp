#include <gtest/gtest.h>

#include "golden_file.h"
#include "snr_recordings.h"
#include "tessel.h"

namespace {

// The same check runs in every build: natively against the library it links, and under
// wine against Tessel.dll loaded at run time. Both compare with one committed file.
std::vector<std::string> MeasureSnr(const std::vector<int16_t>& samples) {
  int handle;
  int32_t begin = -1, end = -1;
  float snr = -1.0f;
  const int32_t result = Tessel_GetSNR(&handle, samples.data(),
                                       static_cast<int32_t>(samples.size()), &begin, &end, &snr);
  return {std::to_string(result), std::to_string(begin), std::to_string(end), FloatBits(snr)};
}

TEST(SnrGolden, NativeResultsMatchTheCommittedFile) {
  const std::string path = GoldenDirectory() + "/snr.golden";
  GoldenMeasurements measured;
  testing::internal::CaptureStderr();
  for (const TestRecording& recording : SnrTestRecordings())
    measured.emplace_back(recording.name, MeasureSnr(recording.samples));
  testing::internal::GetCapturedStderr();

  if (UpdatingGoldenFiles()) {
    ASSERT_TRUE(WriteGoldenFile(path, measured));
  }
  EXPECT_EQ(GoldenMismatches(path, measured), "");
}

}  // namespace
