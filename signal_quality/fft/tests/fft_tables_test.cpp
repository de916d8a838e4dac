#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "fft/fft_tables.h"
#include "fft/poly_cos.h"
#include "fft/real_fft.h"

namespace {

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

TEST(FactorTable, DescribesFourRadixFourPasses) {
  const int32_t expected[kFactorTableLength] = {256, 4, 4, 4, 4, 4};
  for (int32_t i = 0; i < kFactorTableLength; ++i) EXPECT_EQ(FactorTable[i], expected[i]) << i;
}

TEST(TwiddleTable, HoldsTheSixDecimalPolyCosValues) {
  EXPECT_EQ(TwiddleTable[0], 0.999692f);  // exact cosine is 0.9996988
  EXPECT_EQ(TwiddleTable[1], 0.024540f);
  EXPECT_EQ(TwiddleTable[60], 0.724251f);
  EXPECT_EQ(TwiddleTable[61], 0.689543f);
  EXPECT_EQ(TwiddleTable[188], -0.653173f);
  EXPECT_EQ(TwiddleTable[189], 0.757214f);
  EXPECT_EQ(TwiddleTable[240], 0.923883f);
  EXPECT_EQ(TwiddleTable[241], 0.382678f);
  EXPECT_EQ(TwiddleTable[244], 0.707110f);
  EXPECT_EQ(TwiddleTable[245], 0.707110f);
  EXPECT_EQ(TwiddleTable[248], 0.382678f);
  EXPECT_EQ(TwiddleTable[249], 0.923882f);
}

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
}

TEST(RealFftConfig, ConstantRecordNamesTheTablesAndNoWork) {
  EXPECT_EQ(kRealFftConfig256.size, 256);
  EXPECT_EQ(kRealFftConfig256.twiddles, TwiddleTable);
  EXPECT_EQ(kRealFftConfig256.factors, FactorTable);
  EXPECT_EQ(kRealFftConfig256.work, nullptr);
}
