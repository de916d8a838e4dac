#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "fft/fft_tables.h"

namespace {

// The single-precision polynomial cosine for -pi/2 <= x <= pi that the table was made from,
// its error of about 7e-6 included: PolyCos(0) = 0.9999933.
float PolyCos(float x) {
  // Single-precision coefficients; the Horner steps run in double and round once.
  const double p0 = 0.9999933f;
  const double p1 = 0.49991244f;
  const double p2 = 0.041487746f;
  const double p3 = 0.0012712094f;
  if (x < 1.5707964f) {
    const float s = float(double(x) * x);
    return float(((p2 - p3 * s) * s - p1) * s + p0);
  }
  // cos(x) = -cos(pi - x) keeps the polynomial on its accurate range.
  const float y = 3.1415927f - x;
  const float s = float(double(y) * y);
  return -float(((p2 - p3 * s) * s - p1) * s + p0);
}

// Nearest single-precision value to v rounded to six decimals: the decimal rounding of the
// printed form, then a correctly rounded parse.
float RoundToSixDecimals(float v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", double(v));
  return std::strtof(text, nullptr);
}

uint32_t Bits(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

}  // namespace

// The rows as FFTPACK's RFFTI computes them for 256 = 4 * 4 * 4 * 4, the cosine from the
// polynomial and the sine as the cosine of pi/2 - a, each rounded to six decimals.
TEST(TwiddleTable, EqualsItsRegenerationEntryForEntry) {
  float expected[kTwiddleTableLength] = {};
  const float argh = float(double(6.2831855f) / 256.0);
  int32_t rowStart = 0;
  for (int32_t l1 = 1; l1 <= 16; l1 *= 4) {
    const int32_t ido = 256 / (4 * l1);
    for (int32_t j = 1; j <= 3; ++j) {
      const float argld = float(double(j * l1) * argh);
      float fi = 0.0f;
      for (int32_t i = rowStart; i < rowStart + ido - 2; i += 2) {
        fi += 1.0f;
        const float arg = float(double(fi) * argld);
        expected[i] = RoundToSixDecimals(PolyCos(arg));
        expected[i + 1] = RoundToSixDecimals(PolyCos(1.5707964f - arg));
      }
      rowStart += ido;
    }
  }
  ASSERT_EQ(rowStart, 252);
  for (int32_t i = 0; i < kTwiddleTableLength; ++i) {
    EXPECT_EQ(Bits(TwiddleTable[i]), Bits(expected[i])) << "entry " << i << ": " << expected[i];
  }
  EXPECT_EQ(TwiddleTable[0], 0.999692f);  // the exact cosine is 0.9996988
}

// The one-call autocorrelation route relies on this: the second row of the long-row pass
// (ido = 64, j = 2: angles between 0 and pi/2) holds no zero and no negative value.
TEST(TwiddleTable, SecondLongRowIsPositive) {
  for (int32_t i = 64; i < 126; ++i) EXPECT_GT(TwiddleTable[i], 0.0f) << i;
}
