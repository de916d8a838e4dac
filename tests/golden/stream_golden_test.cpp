#include "stream_golden.h"

#include <gtest/gtest.h>

#include "golden_file.h"
#include "support/linked_exports.h"
#include "tessel.h"

namespace {

// Natively this writes the file when asked (TESSEL_UPDATE_GOLDEN=1); under wine it checks
// the statically linked areas against the same file as the Windows host test does.
TEST(StreamGolden, ResultsMatchTheCommittedFile) {
  const std::string path = GoldenDirectory() + "/stream.golden";
  const std::vector<stream_golden::Recording> recordings =
      stream_golden::Recordings(TESSEL_SPEECH_WAV);
  GoldenMeasurements measured;
  for (const stream_golden::Recording& recording : recordings) {
    ASSERT_FALSE(recording.samples.empty()) << recording.name << ": " << TESSEL_SPEECH_WAV;
    measured.emplace_back(recording.name, stream_golden::Measure(kLinkedExports, recording));
  }
#ifndef _WIN32
  if (UpdatingGoldenFiles()) {
    ASSERT_TRUE(WriteGoldenFile(path, measured));
  }
#endif
  EXPECT_EQ(GoldenMismatches(path, measured), "");
}

}  // namespace
