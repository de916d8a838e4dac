#include <cstdint>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "detector_fixture.h"

namespace {

// Two utterances with different voices and pauses, several seconds each.
Recording FirstRecording() {
  return Noise(40, 40, 1) + Voiced(60, 150.0) + Noise(70, 40, 2) + Voiced(30, 220.0) +
         Noise(80, 40, 3);
}

Recording SecondRecording() {
  return Noise(25, 60, 4) + Voiced(45, 110.0, 160, 6000.0) + Noise(90, 30, 5) + Voiced(20, 240.0) +
         Noise(60, 60, 6);
}

// Runs a fresh detector over the recording, re-arming after every end as the owner does.
std::vector<int32_t> Judge(const Recording& samples) {
  DetectorArea area(8000, 160);
  std::vector<int32_t> results;
  for (size_t at = 0; at + 160 <= samples.size(); at += 160) {
    results.push_back(EndpointDetector_Step(area.detector, samples.data() + at));
    if (results.back() == 3) EndpointDetector_Rearm(area.detector);
  }
  return results;
}

TEST(EndpointDetectorThreads, DetectorsOnTwoThreadsJudgeAsWhenRunOneAfterTheOther) {
  const Recording first = FirstRecording();
  const Recording second = SecondRecording();
  const std::vector<int32_t> firstAlone = Judge(first);
  const std::vector<int32_t> secondAlone = Judge(second);
  ASSERT_NE(firstAlone, secondAlone);

  for (int round = 0; round < 4; ++round) {
    std::vector<int32_t> firstShared;
    std::vector<int32_t> secondShared;
    std::thread worker([&] { secondShared = Judge(second); });
    firstShared = Judge(first);
    worker.join();
    EXPECT_EQ(firstShared, firstAlone) << "round " << round;
    EXPECT_EQ(secondShared, secondAlone) << "round " << round;
  }
}

}  // namespace
