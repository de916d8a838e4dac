#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "pitch/periodicity_internal.h"
#include "support/seeded_random.h"

namespace {

// A normalised autocorrelation whose first lobe ends at lag 2 and which is negative
// everywhere else, ready for lobes to be drawn in.
std::vector<float> NegativeBackground() {
  std::vector<float> values(128, -0.1f);
  values[0] = 1.0f;
  values[1] = 0.3f;
  return values;
}

// A three-lag lobe centred on lag.
void DrawLobe(std::vector<float>& values, int32_t lag, float side, float top) {
  values[lag - 1] = side;
  values[lag] = top;
  values[lag + 1] = side;
}

std::vector<int32_t> Peaks(const std::vector<float>& values, int32_t lagLimit,
                           int32_t maxLags = 10) {
  std::vector<int32_t> lags(maxLags, -1);
  const int32_t n = FindLobePeaks(values.data(), lagLimit, lags.data(), maxLags);
  lags.resize(n);
  return lags;
}

// The walk over the 128 lags as the algorithm is written, each lag's test made when the walk
// reaches it.
int32_t WrittenWalk(const float* values, int32_t lagLimit, int32_t* lags, int32_t maxLags) {
  const int32_t last = 127;
  const int32_t limit = lagLimit < 128 ? lagLimit : 128;
  int32_t i = 0;
  while (i < limit && values[i] > 0.0f) ++i;
  while (i < last && values[i] <= 0.0f) ++i;
  if (i == 0) i = 1;
  if (i >= last) return 0;
  int32_t best = 0;
  int32_t n = 0;
  while (i < last) {
    if (values[i - 1] < values[i] && values[i + 1] <= values[i] &&
        (best == 0 || values[i] > values[best])) {
      best = i;
    }
    ++i;
    if (i >= last) break;
    if (values[i] > 0.0f) continue;
    if (best > 0) {
      lags[n++] = best;
      if (n >= maxLags) return n;
      best = 0;
    }
    while (i < last && values[i] <= 0.0f) ++i;
  }
  if (best > 0) lags[n++] = best;
  return n;
}

}  // namespace

// Lobes are taken from bit sets of the lags instead of lag by lag: every outcome must be the
// written walk's. Values from a few levels make plateaus, equal maxima, one-lag lobes and
// gaps; zeros of both signs and NaN sit on the edges of the comparisons; limits cover the first
// lobe cut short and the limit beyond the array.
TEST(FindLobePeaks, EqualsTheWrittenWalkOnEveryKindOfArray) {
  const float levels[] = {
      -0.5f, -0.0f, 0.0f, 0.25f, 0.5f, 0.5f, 0.75f, 1.0f, std::numeric_limits<float>::quiet_NaN()};
  SeededRandom random(23);
  for (int32_t trial = 0; trial < 200000; ++trial) {
    std::vector<float> values(128);
    // Mostly levels, some arrays of random values, some without NaN.
    const uint32_t kind = random.TopBits(2);
    for (float& v : values) {
      if (kind == 0) {
        v = float(random.Uniform(1000)) / 1000.0f;
      } else {
        v = levels[random.TopBits(8) % (kind == 1 ? 8 : 9)];
      }
    }
    if (random.TopBits(1) == 1) values[0] = 1.0f;
    const int32_t lagLimit = int32_t(random.TopBits(8) % 150);
    const int32_t maxLags = int32_t(random.TopBits(4) % 12);
    std::vector<int32_t> expected(140, -1), actual(140, -1);
    const int32_t n = WrittenWalk(values.data(), lagLimit, expected.data(), maxLags);
    ASSERT_EQ(FindLobePeaks(values.data(), lagLimit, actual.data(), maxLags), n)
        << "trial " << trial;
    ASSERT_EQ(actual, expected) << "trial " << trial;
  }
}

TEST(FindLobePeaks, ReportsOnePeakPerLobeAfterTheFirst) {
  std::vector<float> values = NegativeBackground();
  DrawLobe(values, 10, 0.3f, 0.6f);
  DrawLobe(values, 20, 0.2f, 0.55f);
  values[30] = 0.4f;  // a one-lag lobe is its own maximum
  EXPECT_EQ(Peaks(values, 40), (std::vector<int32_t>{10, 20, 30}));
}

TEST(FindLobePeaks, PlateauCountsAtItsFirstLag) {
  std::vector<float> values = NegativeBackground();
  values[9] = 0.3f;
  values[10] = 0.7f;
  values[11] = 0.7f;
  values[12] = 0.7f;
  values[13] = 0.2f;
  EXPECT_EQ(Peaks(values, 40), (std::vector<int32_t>{10}));
}

TEST(FindLobePeaks, EqualMaximaInOneLobeKeepTheEarlierAndAHigherOneWins) {
  std::vector<float> values = NegativeBackground();
  const float equalLobe[] = {0.2f, 0.7f, 0.4f, 0.7f, 0.2f};
  for (int32_t i = 0; i < 5; ++i) values[10 + i] = equalLobe[i];
  const float risingLobe[] = {0.2f, 0.6f, 0.4f, 0.8f, 0.2f};
  for (int32_t i = 0; i < 5; ++i) values[30 + i] = risingLobe[i];
  EXPECT_EQ(Peaks(values, 40), (std::vector<int32_t>{11, 33}));
}

TEST(FindLobePeaks, StopsAfterMaxLagsLobes) {
  std::vector<float> values = NegativeBackground();
  for (int32_t lobe = 1; lobe <= 12; ++lobe) DrawLobe(values, 8 * lobe, 0.2f, 0.6f);
  EXPECT_EQ(Peaks(values, 40), (std::vector<int32_t>{8, 16, 24, 32, 40, 48, 56, 64, 72, 80}));
  EXPECT_EQ(Peaks(values, 40, 3), (std::vector<int32_t>{8, 16, 24}));
}

TEST(FindLobePeaks, LobeCutOffByTheEndStillCountsButNeedsALocalMaximum) {
  std::vector<float> values = NegativeBackground();
  DrawLobe(values, 10, 0.2f, 0.6f);
  values[124] = 0.3f;
  values[125] = 0.5f;
  values[126] = 0.4f;
  values[127] = 0.45f;
  EXPECT_EQ(Peaks(values, 40), (std::vector<int32_t>{10, 125}));

  values[126] = 0.6f;  // still rising where the scan ends: no maximum inside the array
  values[127] = 0.7f;
  EXPECT_EQ(Peaks(values, 40), (std::vector<int32_t>{10}));
}

TEST(FindLobePeaks, FirstLobeLongerThanTheLimitIsScannedFromTheLimit) {
  std::vector<float> values(128);
  for (int32_t lag = 0; lag < 128; ++lag) values[lag] = 1.0f - lag / 100.0f;
  values[35] = 0.70f;  // a bump before the limit is part of the skipped lobe
  values[45] = 0.60f;  // one behind it is reported
  EXPECT_EQ(Peaks(values, 40), (std::vector<int32_t>{45}));
}

// A lag limit beyond the array (a rate above 6400 Hz) must not walk off its end.
TEST(FindLobePeaks, LimitBeyondTheArrayStaysInside) {
  std::vector<float> values(128, 0.5f);
  values[0] = 1.0f;
  EXPECT_TRUE(Peaks(values, 400).empty());
}

TEST(InterpolatePeak, SymmetricNeighboursKeepTheLagAndHeight) {
  const std::vector<float> values = {0.2f, 0.8f, 0.2f};
  const PeakCandidate peak = InterpolatePeak(values.data(), 1);
  EXPECT_EQ(peak.position, 1.0f);
  EXPECT_EQ(peak.value, 0.8f);
}

TEST(InterpolatePeak, MovesTowardsTheHigherNeighbourAndRisesAboveTheMiddle) {
  const std::vector<float> values = {0.0f, 0.5f, 1.0f, 0.7f};
  const PeakCandidate peak = InterpolatePeak(values.data(), 2);
  EXPECT_FLOAT_EQ(peak.position, 2.125f);
  EXPECT_FLOAT_EQ(peak.value, 1.00625f);
}

TEST(InterpolatePeak, FlatNeighbourhoodGivesTheLagItself) {
  const std::vector<float> values = {0.6f, 0.6f, 0.6f, 0.6f};
  const PeakCandidate peak = InterpolatePeak(values.data(), 2);
  EXPECT_EQ(peak.position, 2.0f);
  EXPECT_EQ(peak.value, 0.6f);
}

TEST(DecidePitch, ShortestLagWithinSevenPercentOfTheStrongestWins) {
  std::vector<float> values = NegativeBackground();
  DrawLobe(values, 10, 0.8f, 0.90f);
  DrawLobe(values, 20, 0.85f, 0.95f);
  float peak = 0.0f;
  EXPECT_FLOAT_EQ(DecidePitch(values.data(), 2000, &peak), 200.0f);
  EXPECT_EQ(peak, 0.90f);

  values[10] = 0.80f;  // more than about 7.5 % below the later peak now
  values[9] = values[11] = 0.7f;
  EXPECT_FLOAT_EQ(DecidePitch(values.data(), 2000, &peak), 100.0f);
  EXPECT_EQ(peak, 0.95f);
}

TEST(DecidePitch, HeightOfExactlyOneHalfIsNoCandidate) {
  std::vector<float> values = NegativeBackground();
  DrawLobe(values, 10, 0.3f, 0.5f);
  float peak = 0.0f;
  EXPECT_EQ(DecidePitch(values.data(), 2000, &peak), -1.0f);
  EXPECT_EQ(peak, 0.0f);

  values[10] = 0.50000006f;
  EXPECT_FLOAT_EQ(DecidePitch(values.data(), 2000, &peak), 200.0f);
}

TEST(DecidePitch, FiftyAndFiveHundredHertzAreOutsideButReportTheirPeak) {
  std::vector<float> low = NegativeBackground();
  DrawLobe(low, 40, 0.5f, 0.7f);
  float peak = 0.0f;
  EXPECT_EQ(DecidePitch(low.data(), 2000, &peak), -1.0f);  // 2000 / 40.0 = 50.0
  EXPECT_EQ(peak, 0.7f);

  std::vector<float> high = NegativeBackground();
  DrawLobe(high, 4, 0.5f, 0.8f);
  EXPECT_EQ(DecidePitch(high.data(), 2000, &peak), -1.0f);  // 2000 / 4.0 = 500.0
  EXPECT_EQ(peak, 0.8f);

  std::vector<float> inside = NegativeBackground();
  DrawLobe(inside, 5, 0.5f, 0.8f);
  DrawLobe(inside, 39, 0.5f, 0.7f);
  EXPECT_EQ(DecidePitch(inside.data(), 2000, &peak), 400.0f);
  inside[5] = 0.3f;
  inside[4] = inside[6] = 0.2f;
  EXPECT_FLOAT_EQ(DecidePitch(inside.data(), 2000, &peak), 2000.0f / 39.0f);
}

TEST(DecidePitch, OnlyTheFirstTenLobesAreExamined) {
  std::vector<float> values = NegativeBackground();
  for (int32_t lobe = 1; lobe <= 10; ++lobe) DrawLobe(values, 8 * lobe, 0.3f, 0.6f);
  DrawLobe(values, 88, 0.9f, 0.99f);  // would set the threshold above all others
  float peak = 0.0f;
  EXPECT_FLOAT_EQ(DecidePitch(values.data(), 2000, &peak), 250.0f);
  EXPECT_EQ(peak, 0.6f);
}
