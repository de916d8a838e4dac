#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "pitch/periodicity.h"
#include "pitch/periodicity_internal.h"
#include "test_windows.h"

namespace {

uint32_t Bits(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

struct Result {
  float pitch;
  float peak;
  float energy;
};

const float* NormalisedValues(std::vector<char>& work) {
  return static_cast<PeriodicityWork*>(AlignToFloat(work.data()))->values;
}

Result Analyse(const std::vector<int16_t>& window, int32_t rate = 2000) {
  std::vector<char> work(kPeriodicityWorkBytes);
  Result r{0.0f, -5.0f, -5.0f};
  r.pitch =
      EstimatePitch(window.data(), int32_t(window.size()), rate, &r.peak, &r.energy, work.data());
  return r;
}

}  // namespace

TEST(EstimatePitch, SilentWindowHasNoPitchNoEnergyNoPeak) {
  std::vector<char> work(kPeriodicityWorkBytes);
  const std::vector<int16_t> window(128, 0);
  float peak = -5.0f;
  float energy = -5.0f;
  EXPECT_EQ(EstimatePitch(window.data(), 128, 2000, &peak, &energy, work.data()), -1.0f);
  EXPECT_EQ(peak, 0.0f);
  EXPECT_EQ(energy, 0.0f);
  const float* values = NormalisedValues(work);
  EXPECT_EQ(values[0], 1.0f);
  for (int32_t lag = 1; lag < 128; ++lag) EXPECT_EQ(values[lag], 0.0f) << lag;
}

TEST(EstimatePitch, ConstantWindowHasEnergyButNoPitch) {
  const Result r = Analyse(std::vector<int16_t>(128, 100));
  EXPECT_EQ(r.pitch, -1.0f);
  EXPECT_NEAR(r.energy, 10000.0, 0.1);
  EXPECT_EQ(r.peak, 0.0f);
}

TEST(EstimatePitch, SinusoidOf250HzIsFoundAtLagEight) {
  const std::vector<int16_t> window = SineWindow(250.0, 1000.0);
  std::vector<char> work(kPeriodicityWorkBytes);
  float peak = 0.0f;
  float energy = 0.0f;
  const float pitch = EstimatePitch(window.data(), 128, 2000, &peak, &energy, work.data());
  EXPECT_NEAR(pitch, 249.9, 0.05);
  EXPECT_NEAR(energy, 499800.0, 100.0);
  EXPECT_NEAR(peak, 0.94, 0.005);

  const float* values = NormalisedValues(work);
  int32_t lags[10];
  const int32_t n = FindLobePeaks(values, 40, lags, 10);
  ASSERT_GE(n, 3);
  EXPECT_EQ(lags[0], 8);
  EXPECT_EQ(lags[1], 16);
  EXPECT_EQ(lags[2], 24);
  EXPECT_NEAR(values[8], 0.94, 0.005);
  EXPECT_NEAR(values[16], 0.88, 0.005);
  EXPECT_NEAR(values[24], 0.81, 0.005);
  EXPECT_NEAR(InterpolatePeak(values, 8).position, 8.004, 0.0005);
}

// This implementation's exact results, the same on every platform.
TEST(EstimatePitch, SinusoidOf250HzGivesTheSameBitsEverywhere) {
  const Result r = Analyse(SineWindow(250.0, 1000.0));
  EXPECT_EQ(Bits(r.pitch), Bits(0x1.f3c10ep+7f));   // 249.87706
  EXPECT_EQ(Bits(r.peak), Bits(0x1.e0005ep-1f));    // 0.9375028
  EXPECT_EQ(Bits(r.energy), Bits(0x1.e8151p+18f));  // 499796.25
}

TEST(EstimatePitch, PeriodsShorterThanFourOrLongerThanFortyLagsAreRejected) {
  const Result high = Analyse(SineWindow(520.0, 3000.0));
  EXPECT_EQ(high.pitch, -1.0f);
  EXPECT_NEAR(high.peak, 0.95, 0.01);

  const Result low = Analyse(SineWindow(40.0, 8000.0));
  EXPECT_EQ(low.pitch, -1.0f);
  EXPECT_NEAR(low.peak, 0.60, 0.01);
}

TEST(EstimatePitch, NullOutputsLeaveThePitchAlone) {
  const std::vector<int16_t> window = SineWindow(250.0, 1000.0);
  std::vector<char> work(kPeriodicityWorkBytes);
  const float expected = Analyse(window).pitch;
  EXPECT_EQ(EstimatePitch(window.data(), 128, 2000, nullptr, nullptr, work.data()), expected);
  float energy = 0.0f;
  EXPECT_EQ(EstimatePitch(window.data(), 128, 2000, nullptr, &energy, work.data()), expected);
  EXPECT_NEAR(energy, 499800.0, 100.0);
}

TEST(EstimatePitch, WorkAreaAtAnyAlignmentGivesTheSameBits) {
  const std::vector<int16_t> window = NoiseWindow(9, 3000);
  const std::vector<int16_t> voiced = SineWindow(180.0, 2000.0);
  for (const std::vector<int16_t>* w : {&window, &voiced}) {
    const Result expected = Analyse(*w);
    std::vector<char> work(kPeriodicityWorkBytes + 4);
    for (int32_t offset = 1; offset < 4; ++offset) {
      float peak = 0.0f;
      float energy = 0.0f;
      // Only kPeriodicityWorkBytes from the misaligned start are handed over.
      const float pitch = EstimatePitch(w->data(), 128, 2000, &peak, &energy, work.data() + offset);
      EXPECT_EQ(Bits(pitch), Bits(expected.pitch)) << offset;
      EXPECT_EQ(Bits(peak), Bits(expected.peak)) << offset;
      EXPECT_EQ(Bits(energy), Bits(expected.energy)) << offset;
    }
  }
}

TEST(EstimatePitch, OtherWindowLengthsAreRefusedWithoutTouchingWork) {
  const std::vector<int16_t> window = SineWindow(250.0, 1000.0);
  std::vector<char> work(kPeriodicityWorkBytes, 'x');
  float peak = -5.0f;
  float energy = -5.0f;
  EXPECT_EQ(EstimatePitch(window.data(), 100, 2000, &peak, &energy, work.data()), -1.0f);
  EXPECT_EQ(peak, 0.0f);
  EXPECT_EQ(energy, 0.0f);
  for (char c : work) ASSERT_EQ(c, 'x');
}

TEST(EstimatePitch, RateSetsTheLagRange) {
  // The same window read as 4100 Hz: lag 8 is above 500 Hz.
  EXPECT_EQ(Analyse(SineWindow(250.0, 1000.0), 4100).pitch, -1.0f);
  // At 1000 Hz it is 125 Hz.
  EXPECT_NEAR(Analyse(SineWindow(250.0, 1000.0), 1000).pitch, 124.95, 0.05);
}
