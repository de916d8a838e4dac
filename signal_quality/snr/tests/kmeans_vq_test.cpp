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

// The codebook after splitting the mean (x1.2f, x0.8f) and refining, the counts, and the
// warnings of every refining pass in which a codeword attracted no value (which pin how many
// passes the refining takes).
TEST(ModifiedKMeanVQ, SplitsTheValuesIntoTwoCodewordsBitForBit) {
  const auto starvedThrice = [](int codeword) {
    const std::string line =
        "[KMeanIteration] Warning: mean[" + std::to_string(codeword) + "] has no training data.\n";
    return line + line + line;
  };
  const struct {
    std::vector<float> values;
    float codebook[2];
    int32_t counts[2];
    std::string warnings;
  } cases[] = {
      {{100, 100, 1000, 1000}, {1000.0f, 100.0f}, {2, 2}, ""},
      {{1, 2, 3, 4, 100}, {100.0f, 2.5f}, {1, 4}, ""},
      // 12 and 8 lie equally far from 10: every value goes to codeword 0, codeword 1 starves.
      {std::vector<float>(37, 10.0f), {10.0f, 8.0f}, {37, 0}, starvedThrice(1)},
      // 600 and 400 after rounding: a tie, so the value goes to codeword 0.
      {{500.0f}, {500.0f, 400.0f}, {1, 0}, starvedThrice(1)},
      // float(11 * 1.2f) lies a hair further from 11 than float(11 * 0.8f).
      {std::vector<float>(5, 11.0f), {float(11.0 * double(1.2f)), 11.0f}, {0, 5}, starvedThrice(0)},
      // Skewed levels: the split's boundary creeps down over seven passes, each changing the
      // distortion by more than a thousandth.
      {{10.8f,  10.01f,  48.86f, 11.73f, 40.95f, 14.35f, 66.03f,   381.3f, 338.11f, 10.0f,  31.31f,
        10.73f, 527.05f, 11.01f, 10.03f, 18.85f, 46.57f, 1353.36f, 289.1f, 187.73f, 238.48f},
       {940.204956f, 93.4710541f},
       {2, 19},
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.values.size() << " values from " << c.values[0]);
    const Quantised q = Quantise(c.values);
    EXPECT_EQ(q.result, 2);
    EXPECT_EQ(q.codebook[0], c.codebook[0]);
    EXPECT_EQ(q.codebook[1], c.codebook[1]);
    EXPECT_EQ(q.counts[0], c.counts[0]);
    EXPECT_EQ(q.counts[1], c.counts[1]);
    EXPECT_EQ(q.warnings, c.warnings);
  }
}

}  // namespace
