#include <cmath>

#include <gtest/gtest.h>

#include "fft/poly_cos.h"

TEST(PolyCos, KeepsThePolynomialsOwnValuesAtTheRangeEnds) {
  EXPECT_EQ(PolyCos(0.0f), 0.9999933f);  // not 1: the constant term
  EXPECT_EQ(PolyCos(3.1415927f), -0.9999933f);
  // pi/2 in single precision already takes the mirrored branch.
  EXPECT_NEAR(PolyCos(1.5707964f), 6.7e-6, 1e-7);
  EXPECT_GT(PolyCos(1.5707964f), 0.0f);
}

TEST(PolyCos, IsEvenOnTheNegativeSide) {
  EXPECT_NEAR(PolyCos(1.0f), 0.5402974, 1e-7);
  EXPECT_EQ(PolyCos(-1.0f), PolyCos(1.0f));
  EXPECT_EQ(PolyCos(-0.25f), PolyCos(0.25f));
}

TEST(PolyCos, StaysWithinSevenMillionthsOfTheCosineOverItsRange) {
  const double halfPi = 1.5707963267948966;
  double worst = 0.0;
  for (int32_t step = 0; step <= 3000; ++step) {
    const float x = float(-halfPi + step * (3.0 * halfPi / 3000.0));
    worst = std::fmax(worst, std::fabs(PolyCos(x) - std::cos(double(x))));
  }
  EXPECT_LT(worst, 7.5e-6);
  EXPECT_GT(worst, 6.0e-6);  // the polynomial's own error, not a library cosine
}
