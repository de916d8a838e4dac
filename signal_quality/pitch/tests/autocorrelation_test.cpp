#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "pitch/periodicity_internal.h"
#include "test_windows.h"

namespace {

uint32_t Bits(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

std::vector<float> RawAutocorrelation(const std::vector<int16_t>& window) {
  std::vector<float> out(128);
  AutocorrelationWork work;
  WindowAutocorrelation(window.data(), out.data(), &work);
  return out;
}

double DirectAutocorrelation(const std::vector<int16_t>& s, int32_t lag) {
  double sum = 0.0;
  for (int32_t m = 0; m + lag < 128; ++m) sum += double(s[m]) * s[m + lag];
  return sum;
}

}  // namespace

TEST(WindowAutocorrelation, MatchesTheLinearSumWithoutWrapAround) {
  for (const std::vector<int16_t>& window : {NoiseWindow(1, 20000), SineWindow(250.0, 1000.0)}) {
    const std::vector<float> out = RawAutocorrelation(window);
    const double energy = DirectAutocorrelation(window, 0);
    for (int32_t lag = 0; lag < 128; ++lag) {
      EXPECT_NEAR(out[lag], DirectAutocorrelation(window, lag), 2e-5 * energy) << lag;
    }
  }
}

// Bit patterns of this implementation: the power spectrum is summed in double and rounded
// twice (sum, then scale); summing rounded squares in float would change them.
TEST(WindowAutocorrelation, KeepsTheRoundingOfThePowerSpectrum) {
  const std::vector<float> out = RawAutocorrelation(NoiseWindow(4, 30000));
  uint32_t hash = 2166136261u;
  for (float v : out) hash = (hash ^ Bits(v)) * 16777619u;
  EXPECT_EQ(hash, 228267152u);
}

TEST(NormalizedAutocorrelation, ConstantWindowFallsLinearly) {
  const std::vector<int16_t> window(128, 100);
  std::vector<float> values(128);
  AutocorrelationWork work;
  EXPECT_NEAR(NormalizedAutocorrelation(window.data(), values.data(), &work), 10000.0, 0.1);
  EXPECT_EQ(values[0], 1.0f);
  for (int32_t lag = 1; lag < 128; ++lag)
    EXPECT_NEAR(values[lag], (128.0 - lag) / 128.0, 1e-5) << lag;
}

// Multiplying by the rounded reciprocal and dividing differ in the last bit for some lags;
// the reciprocal is what the detector's thresholds were tuned on.
TEST(NormalizedAutocorrelation, MultipliesByTheSinglePrecisionReciprocal) {
  const std::vector<int16_t> window = NoiseWindow(5, 12000);
  const std::vector<float> raw = RawAutocorrelation(window);
  std::vector<float> values(128);
  AutocorrelationWork work;
  const float energy = NormalizedAutocorrelation(window.data(), values.data(), &work);
  EXPECT_EQ(Bits(energy), Bits(float(double(raw[0]) / 128.0)));
  const float inverse = float(1.0 / double(raw[0]));
  int32_t differFromDivision = 0;
  for (int32_t lag = 1; lag < 128; ++lag) {
    EXPECT_EQ(Bits(values[lag]), Bits(float(double(raw[lag]) * inverse))) << lag;
    if (values[lag] != float(double(raw[lag]) / raw[0])) ++differFromDivision;
  }
  EXPECT_GT(differFromDivision, 0);
}
