#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "snr/kmeans_vq.h"

namespace {

struct Quantised {
  int32_t result;
  float codebook[2];
  int32_t counts[2];
  std::string warnings;
};

Quantised Quantise(const std::vector<float>& values) {
  Quantised q{0, {-7.0f, -7.0f}, {-7, -7}, {}};
  testing::internal::CaptureStderr();
  q.result =
      ModifiedKMeanVQ(values.data(), static_cast<int32_t>(values.size()), q.codebook, q.counts);
  q.warnings = testing::internal::GetCapturedStderr();
  return q;
}

std::string Repeat(const std::string& line, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += line;
  return text;
}

TEST(ModifiedKMeanVQ, SeparatesTwoClearClasses) {
  Quantised q = Quantise({100, 100, 1000, 1000});
  EXPECT_EQ(q.result, 2);
  EXPECT_EQ(q.codebook[0], 1000.0f);
  EXPECT_EQ(q.codebook[1], 100.0f);
  EXPECT_EQ(q.counts[0], 2);
  EXPECT_EQ(q.counts[1], 2);
  EXPECT_EQ(q.warnings, "");
}

TEST(ModifiedKMeanVQ, OutlierTakesItsOwnCodeword) {
  Quantised q = Quantise({1, 2, 3, 4, 100});
  EXPECT_EQ(q.codebook[0], 100.0f);
  EXPECT_EQ(q.codebook[1], 2.5f);
  EXPECT_EQ(q.counts[0], 1);
  EXPECT_EQ(q.counts[1], 4);
}

TEST(ModifiedKMeanVQ, EqualValuesTieToLowerIndexAndWarnEveryPass) {
  // 12 and 8 lie equally far from 10: every value goes to codeword 0, codeword 1 starves.
  Quantised q = Quantise(std::vector<float>(37, 10.0f));
  EXPECT_EQ(q.codebook[0], 10.0f);
  EXPECT_EQ(q.codebook[1], 8.0f);
  EXPECT_EQ(q.counts[0], 37);
  EXPECT_EQ(q.counts[1], 0);
  EXPECT_EQ(q.warnings, Repeat("[KMeanIteration] Warning: mean[1] has no training data.\n", 3));
}

TEST(ModifiedKMeanVQ, SingleValueStillGivesTwoCodewords) {
  // 600 and 400 after rounding: a tie, so the value goes to codeword 0.
  Quantised q = Quantise({500.0f});
  EXPECT_EQ(q.result, 2);
  EXPECT_EQ(q.codebook[0], 500.0f);
  EXPECT_EQ(q.codebook[1], 400.0f);
  EXPECT_EQ(q.counts[0], 1);
  EXPECT_EQ(q.counts[1], 0);
  EXPECT_EQ(q.warnings, Repeat("[KMeanIteration] Warning: mean[1] has no training data.\n", 3));
}

TEST(ModifiedKMeanVQ, SplitUsesFloatFactorsRoundedOnce) {
  // With values 11, float(11 * 1.2f) lies a hair further from 11 than float(11 * 0.8f).
  Quantised q = Quantise(std::vector<float>(5, 11.0f));
  EXPECT_EQ(q.codebook[1], 11.0f);
  EXPECT_EQ(q.codebook[0], static_cast<float>(11.0 * static_cast<double>(1.2f)));
  EXPECT_EQ(q.counts[1], 5);
}

TEST(ModifiedKMeanVQ, EmptyOrNegativeCountWritesNothing) {
  float codebook[2] = {-7.0f, -7.0f};
  int32_t counts[2] = {-7, -7};
  const float value = 3.0f;
  EXPECT_EQ(ModifiedKMeanVQ(&value, 0, codebook, counts), -1);
  EXPECT_EQ(ModifiedKMeanVQ(&value, -4, codebook, counts), -1);
  EXPECT_EQ(codebook[0], -7.0f);
  EXPECT_EQ(codebook[1], -7.0f);
  EXPECT_EQ(counts[0], -7);
  EXPECT_EQ(counts[1], -7);
}

TEST(KMeanIteration, ReportsDistortionOfLastPassBeforeReaveraging) {
  const float values[] = {0, 1, 10, 11};
  float codebook[2] = {0.0f, 10.0f};
  int32_t counts[2] = {0, 0};
  double distortion = -1.0;
  EXPECT_EQ(KMeanIteration(codebook, 2, values, 4, &distortion, counts), 2);
  EXPECT_EQ(codebook[0], 0.5f);
  EXPECT_EQ(codebook[1], 10.5f);
  EXPECT_EQ(counts[0], 2);
  EXPECT_EQ(counts[1], 2);
  EXPECT_EQ(distortion, 1.0);  // pass 1 measured 2 against {0, 10}; passes 2 and 3 measured 1
}

}  // namespace
