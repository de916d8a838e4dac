// What the conversion does, seen from outside: where the outputs fall, the one-sample delay at
// 8000 Hz, the level a constant input settles to, and saturation instead of wrapping.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "resample/rate_converter.h"
#include "resample/tests/shifted_reference.h"
#include "support/test_signals.h"

namespace {

constexpr int32_t kAllRates[] = {8000, 11025, 16000, 22050, 44100, 48000};

struct Converted {
  std::vector<int16_t> samples;     // the 8 kHz samples produced
  std::vector<int64_t> producedAt;  // index of the input sample that produced each
};

// One block per input sample, so that every output's input is known.
Converted ConvertAll(int32_t rate, const std::vector<int16_t>& input) {
  RateConverter converter;
  RateConverter_Reset(&converter);
  const BlockConverter convert = BlockConverterForRate(rate);
  Converted result;
  for (size_t i = 0; i < input.size(); ++i) {
    int16_t out = 0;
    if (convert(&converter, &input[i], 1, &out) == 1) {
      result.samples.push_back(out);
      result.producedAt.push_back(int64_t(i));
    }
  }
  return result;
}

TEST(ConverterCounts, EveryPrefixYieldsFloorOfEightThousandNOverR) {
  const std::vector<int16_t> input = test_signals::UniformNoise(50000, 1000, 7);
  for (int32_t rate : kAllRates) {
    const Converted out = ConvertAll(rate, input);
    // producedAt[j] is the first input count N with floor(8000 N / R) = j + 1.
    for (size_t j = 0; j < out.producedAt.size(); ++j) {
      const int64_t n = out.producedAt[j] + 1;
      ASSERT_EQ(8000 * n / rate, int64_t(j) + 1) << rate << " output " << j;
      ASSERT_EQ(8000 * (n - 1) / rate, int64_t(j)) << rate << " output " << j;
    }
    EXPECT_EQ(int64_t(out.samples.size()), 8000 * int64_t(input.size()) / rate) << rate;
  }
  EXPECT_EQ(ConvertAll(8000, {5, 7, 9}).samples, (std::vector<int16_t>{0, 5, 7}));
  EXPECT_EQ(ConvertAll(8000, {-32768, 32767, -1}).samples,
            (std::vector<int16_t>{0, -32768, 32767}));
}

TEST(ConverterSettling, ConstantInputSettlesOneStepLowWhereTheDcGainIsBelowOne) {
  struct Case {
    int32_t rate;
    int16_t settled;
  };
  for (const Case& c : {Case{48000, 999}, Case{16000, 999}, Case{11025, 999}, Case{22050, 1000},
                        Case{44100, 1000}, Case{8000, 1000}}) {
    for (int sign : {1, -1}) {
      const Converted out = ConvertAll(c.rate, std::vector<int16_t>(c.rate, int16_t(sign * 1000)));
      // The last half second, well after the transient.
      for (size_t j = out.samples.size() / 2; j < out.samples.size(); ++j) {
        ASSERT_EQ(out.samples[j], sign * c.settled) << c.rate << " output " << j;
      }
    }
  }
}

TEST(ConverterSaturation, FullScaleSquareWaveClipsInsteadOfWrapping) {
  const std::vector<int16_t> square =
      test_signals::SquareBurst(12000, 0, 12000, 300, 32767, -32768);
  for (int32_t rate : {11025, 16000, 22050, 44100, 48000}) {
    const Converted out = ConvertAll(rate, square);
    shifted_reference::Converter reference = shifted_reference::Make(rate);
    int clippedHigh = 0;
    int clippedLow = 0;
    size_t j = 0;
    for (int16_t s : square) {
      int16_t ignored;
      if (!shifted_reference::Convert(reference, s, &ignored)) continue;
      // The value the converter interpolated, recomputed from the reference state.
      const double f = double(reference.phase) / 8000.0;
      const double v = reference.previousValue * (1.0 - f) + reference.currentValue * f;
      if (v > 32767.0) {
        ++clippedHigh;
        EXPECT_EQ(out.samples[j], 32767) << rate << " output " << j;
      } else if (v < -32768.0) {
        ++clippedLow;
        EXPECT_EQ(out.samples[j], -32768) << rate << " output " << j;
      }
      ++j;
    }
    // Overshoot at the edges must really occur, or the test proves nothing.
    EXPECT_GT(clippedHigh, 0) << rate;
    EXPECT_GT(clippedLow, 0) << rate;
  }
}

TEST(InterpolatedSample, WeighsThePreviousValueByOneMinusTheFractionTruncatesAndSaturates) {
  // Fraction 0.25 between 100 and 200; swapped weights would give 175.
  EXPECT_EQ(InterpolatedSample(100.0, 200.0, 2000, 8000), 125);
  struct Case {
    double value;
    int16_t expected;
  };
  for (const Case& c :
       {Case{-0.9, 0}, Case{1.9, 1}, Case{-1.9, -1}, Case{0.0, 0}, Case{32767.0, 32767},
        Case{32767.99, 32767}, Case{32768.0, 32767}, Case{1e9, 32767}, Case{-32768.0, -32768},
        Case{-32768.5, -32768}, Case{-1e9, -32768}, Case{-32767.99, -32767}}) {
    EXPECT_EQ(InterpolatedSample(c.value, 0.0, 0, 8000), c.expected) << c.value;
  }
}

}  // namespace
