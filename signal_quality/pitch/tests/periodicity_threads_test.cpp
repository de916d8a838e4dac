#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "pitch/periodicity.h"
#include "test_windows.h"

namespace {

struct Result {
  float pitch = 0.0f;
  float peak = 0.0f;
  float energy = 0.0f;
  bool operator==(const Result&) const = default;
};

// Runs the analysis repeatedly and keeps the first result and whether every later one
// equalled it.
void RunMany(const std::vector<int16_t>& window, int32_t rounds, Result* first, bool* stable) {
  std::vector<char> work(kPeriodicityWorkBytes);
  *stable = true;
  for (int32_t round = 0; round < rounds; ++round) {
    Result r;
    r.pitch = EstimatePitch(window.data(), 128, 2000, &r.peak, &r.energy, work.data());
    if (round == 0) {
      *first = r;
    } else if (!(r == *first)) {
      *stable = false;
    }
  }
}

}  // namespace

TEST(EstimatePitchThreads, ConcurrentAnalysesGiveTheirSequentialResults) {
  const std::vector<int16_t> voiced = SineWindow(250.0, 1000.0);
  const std::vector<int16_t> other = SineWindow(130.0, 6000.0, 1.1);

  Result voicedAlone, otherAlone;
  bool unused;
  RunMany(voiced, 1, &voicedAlone, &unused);
  RunMany(other, 1, &otherAlone, &unused);
  ASSERT_NE(voicedAlone.pitch, otherAlone.pitch);

  const int32_t rounds = 3000;
  Result voicedResult, otherResult;
  bool voicedStable = false;
  bool otherStable = false;
  std::thread a(RunMany, std::cref(voiced), rounds, &voicedResult, &voicedStable);
  std::thread b(RunMany, std::cref(other), rounds, &otherResult, &otherStable);
  a.join();
  b.join();

  EXPECT_TRUE(voicedStable);
  EXPECT_TRUE(otherStable);
  EXPECT_EQ(voicedResult, voicedAlone);
  EXPECT_EQ(otherResult, otherAlone);
}
