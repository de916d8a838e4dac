#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "endpoint/preprocess.h"

namespace {

TEST(HalveRate, FloorsNegativeSamplesAndCarriesTheLastQuarter) {
  const int16_t input[4] = {-3, -5, 7, -1};
  int16_t output[2] = {};
  int16_t carried = -2;
  HalveRate(input, 4, output, &carried);
  // -2 + (-3 >> 1) + (-5 >> 2) = -2 - 2 - 2; then -2 + 3 + (-1 >> 2) = -2 + 3 - 1.
  EXPECT_EQ(output[0], -6);
  EXPECT_EQ(output[1], 0);
  EXPECT_EQ(carried, -1);
}

TEST(HalveRate, FullScaleStaysInSixteenBits) {
  const int16_t low[2] = {-32768, -32768};
  const int16_t high[2] = {32767, 32767};
  int16_t out = 0;
  int16_t carried = -8192;
  HalveRate(low, 2, &out, &carried);
  EXPECT_EQ(out, -32768);
  carried = 8191;
  HalveRate(high, 2, &out, &carried);
  EXPECT_EQ(out, 32765);
}

TEST(HalveRate, InPlaceAndSplitIntoFramesGivesTheSameAsOnePass) {
  std::vector<int16_t> signal(64);
  for (size_t i = 0; i < signal.size(); ++i) signal[i] = int16_t((i * 7919) % 2001) - 1000;
  std::vector<int16_t> whole(32);
  int16_t carried = 0;
  HalveRate(signal.data(), 64, whole.data(), &carried);

  std::vector<int16_t> inPlace = signal;
  int16_t split = 0;
  HalveRate(inPlace.data(), 32, inPlace.data(), &split);
  HalveRate(inPlace.data() + 32, 32, inPlace.data() + 16, &split);
  inPlace.resize(32);
  EXPECT_EQ(inPlace, whole);
  EXPECT_EQ(split, carried);
}

TEST(RemoveDc, FloorsTheShiftAndDecaysToMinusOne) {
  int32_t prevInput = 0;
  int32_t prevOutput = -1;
  int16_t samples[3] = {0, 0, 0};
  RemoveDc(samples, 3, &prevInput, &prevOutput);
  // -998 >> 10 is -1, not 0: a silent input settles at -1.
  EXPECT_EQ(samples[0], -1);
  EXPECT_EQ(samples[2], -1);
  EXPECT_EQ(prevOutput, -1);

  prevInput = 0;
  prevOutput = 0;
  int16_t step[2] = {-1000, -1000};
  RemoveDc(step, 2, &prevInput, &prevOutput);
  EXPECT_EQ(step[0], -1000);
  EXPECT_EQ(step[1], -975);  // (998 * -1000) >> 10 = floor(-974.6)
  EXPECT_EQ(prevInput, -1024000);
  EXPECT_EQ(prevOutput, -975);
}

TEST(RemoveDc, KeepsLowSixteenBitsButFullWidthState) {
  int32_t prevInput = -32768 * 1024;
  int32_t prevOutput = 0;
  int16_t samples[2] = {32767, 32767};
  RemoveDc(samples, 2, &prevInput, &prevOutput);
  // 32767 + 32768 = 65535 keeps its low bits (-1); the state keeps 65535, so the next output
  // is (998 * 65535) >> 10 = 63871, whose low 16 bits are -1665.
  EXPECT_EQ(samples[0], -1);
  EXPECT_EQ(samples[1], -1665);
  EXPECT_EQ(prevOutput, 63871);
}

TEST(RemoveDc, ProductOfAnyCarriedStateWrapsInThirtyTwoBits) {
  int32_t prevInput = 0;
  int32_t prevOutput = 3000000;
  int16_t sample = 0;
  RemoveDc(&sample, 1, &prevInput, &prevOutput);
  // 998 * 3000000 wraps to -1300967296; shifted right by 10 (floored): -1270476.
  EXPECT_EQ(prevOutput, -1270476);
  EXPECT_EQ(sample, -25292);  // its low 16 bits
}

}  // namespace
