#include "utterance_saver.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "audio_file.h"

namespace {

// Sample i of the stream holds a value that names i, so a file shows which samples it holds.
int16_t Marked(int64_t i) { return int16_t(i % 30011 - 15000); }

}  // namespace

// Audio pushed frame by frame through a ring that has wrapped many times comes back, read by
// libsndfile, as exactly the samples from begin to end; an utterance longer than the limit keeps
// its last kSaveLimitSeconds; audio the ring no longer holds is refused with a reason. No
// temporary file is left behind.
TEST(UtteranceSaver, SavesExactlyTheSamplesFromBeginToEndThroughAWrappedRing) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("tessel-saver-" + std::to_string(::getpid()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directory(folder);
  constexpr int32_t kRate = 8000;
  UtteranceSaver saver;
  ASSERT_EQ(UtteranceSaver_Init(saver, folder.string(), kRate), "");

  const int64_t ringSize = int64_t(kRate) * (kSaveLimitSeconds + kRingSlackSeconds);
  const int64_t pushed = 3 * ringSize + 1234;
  std::vector<int16_t> frame(160);
  for (int64_t at = 0; at < pushed; at += 160) {
    for (int i = 0; i < 160; ++i) frame[size_t(i)] = Marked(at + i);
    UtteranceSaver_Push(saver, frame.data(), 160);
  }
  const int64_t now = saver.samplesPushed;

  const struct {
    int64_t begin, end, expectedFrom;
  } cases[] = {
      {now - 3 * kRate, now - kRate, now - 3 * kRate},  // across the ring's seam or not
      {now - ringSize + 1, now - 100, now - 100 - kRate * kSaveLimitSeconds},  // cut to the limit
      {now - 7 * kRate - 1, now - 7 * kRate + 1, now - 7 * kRate - 1},         // two samples
  };
  int number = 0;
  for (const auto& c : cases) {
    const SavedUtterance saved = UtteranceSaver_Save(saver, c.begin, c.end, ++number, 0);
    ASSERT_EQ(saved.error, "") << number;
    EXPECT_EQ(saved.savedFrom, c.expectedFrom) << number;
    Recording recording;
    ASSERT_EQ(ReadRecording(saved.path, 0, recording), "") << number;
    EXPECT_EQ(recording.sampleRate, kRate);
    ASSERT_EQ(int64_t(recording.samples.size()), c.end - c.expectedFrom) << number;
    for (size_t i = 0; i < recording.samples.size(); ++i) {
      ASSERT_EQ(recording.samples[i], Marked(c.expectedFrom + int64_t(i))) << number << " @" << i;
    }
  }
  EXPECT_NE(UtteranceSaver_Save(saver, now - ringSize - 10, now - ringSize - 1, 9, 0).error, "");
  EXPECT_NE(UtteranceSaver_Save(saver, now - 10, now + 1, 9, 0).error, "");

  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    EXPECT_EQ(entry.path().extension(), ".wav") << entry.path();
    ++files;
  }
  EXPECT_EQ(files, 3);
  std::filesystem::remove_all(folder);
}
