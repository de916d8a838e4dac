// Every build must reproduce the golden files bit for bit. This checks the library's areas as
// this build compiles them (natively, where TESSEL_UPDATE_GOLDEN=1 rewrites the files, and under
// wine); tests/windows checks Tessel.dll against the same files.
#include <gtest/gtest.h>

#include "golden_file.h"
#include "snr_recordings.h"
#include "stream_golden.h"
#include "support/linked_exports.h"
#include "tessel.h"

namespace {

void ExpectTheCommittedFile(const std::string& path, const GoldenMeasurements& measured) {
#ifndef _WIN32
  if (UpdatingGoldenFiles()) {
    ASSERT_TRUE(WriteGoldenFile(path, measured));
  }
#endif
  EXPECT_EQ(GoldenMismatches(path, measured), "");
}

TEST(Golden, SnrResultsMatchTheCommittedFile) {
  GoldenMeasurements measured;
  testing::internal::CaptureStderr();
  for (const TestRecording& recording : SnrTestRecordings()) {
    measured.emplace_back(recording.name, MeasureSnr(Tessel_GetSNR, recording.samples));
  }
  testing::internal::GetCapturedStderr();
  ExpectTheCommittedFile(GoldenDirectory() + "/snr.golden", measured);
}

TEST(Golden, StreamingResultsMatchTheCommittedFile) {
  GoldenMeasurements measured;
  for (const stream_golden::Recording& recording : stream_golden::Recordings(TESSEL_SPEECH_WAV)) {
    ASSERT_FALSE(recording.samples.empty()) << recording.name << ": " << TESSEL_SPEECH_WAV;
    measured.emplace_back(recording.name, stream_golden::Measure(kLinkedExports, recording));
  }
  ExpectTheCommittedFile(GoldenDirectory() + "/stream.golden", measured);
}

}  // namespace
