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

Converted ConvertAll(int32_t rate, const std::vector<int16_t>& input) {
  RateConverter converter;
  RateConverter_Reset(&converter);
  const SampleConverter convert = ConverterForRate(rate);
  Converted result;
  for (size_t i = 0; i < input.size(); ++i) {
    int16_t out = 12345;
    if (convert(&converter, input[i], &out)) {
      result.samples.push_back(out);
      result.producedAt.push_back(int64_t(i));
    } else {
      EXPECT_EQ(out, 0) << "a converter that produces nothing still writes 0";
    }
  }
  return result;
}

TEST(ConverterCounts, TwoHundredSamplesGiveTheDocumentedCountsAndFirstOutputs) {
  struct Case {
    int32_t rate;
    size_t outputs;
    int64_t firstAt;
  };
  const std::vector<int16_t> input(200, 100);
  for (const Case& c : {Case{11025, 145, 1}, Case{16000, 100, 1}, Case{22050, 72, 2},
                        Case{44100, 36, 5}, Case{48000, 33, 5}}) {
    const Converted out = ConvertAll(c.rate, input);
    EXPECT_EQ(out.samples.size(), c.outputs) << c.rate;
    ASSERT_FALSE(out.producedAt.empty());
    EXPECT_EQ(out.producedAt.front(), c.firstAt) << c.rate;
  }
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
}

TEST(ConvertFrom8000, DelaysByOneSampleStartingFromZero) {
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

TEST(AdvancePhase, WeighsThePreviousValueWithOneMinusTheFraction) {
  // Primed so that this step lands on fraction 0.25 between 100 and 200.
  RateConverter converter;
  RateConverter_Reset(&converter);
  converter.currentValue = 100.0;
  converter.phase = 11025 + 2000 - 8000;
  int16_t out = 0;
  ASSERT_TRUE(AdvancePhase(&converter, 8000, 200.0, 11025, &out));
  EXPECT_EQ(out, 125);  // 100 * 0.75 + 200 * 0.25; swapped weights would give 175
  EXPECT_EQ(converter.phase, 2000);
  EXPECT_EQ(converter.previousValue, 100.0);
  EXPECT_EQ(converter.currentValue, 200.0);
}

TEST(AdvancePhase, TruncatesTowardZeroAndSaturates) {
  struct Case {
    double value;
    int16_t expected;
  };
  for (const Case& c :
       {Case{-0.9, 0}, Case{1.9, 1}, Case{-1.9, -1}, Case{0.0, 0}, Case{32767.0, 32767},
        Case{32767.99, 32767}, Case{32768.0, 32767}, Case{1e9, 32767}, Case{-32768.0, -32768},
        Case{-32768.5, -32768}, Case{-1e9, -32768}, Case{-32767.99, -32767}}) {
    RateConverter converter;
    RateConverter_Reset(&converter);
    converter.currentValue = c.value;
    int16_t out = 0;
    // At 8000 Hz the output is the previous value at fraction 0.
    ASSERT_TRUE(AdvancePhase(&converter, 1, 0.0, 1, &out));
    EXPECT_EQ(out, c.expected) << c.value;
  }
}

TEST(ConverterExactness, MatchesAShiftedArrayEvaluationBitForBit) {
  // Loud noise with full-scale bursts, long enough to wrap the histories many times.
  std::vector<int16_t> input = test_signals::UniformNoise(60000, 20000, 11);
  test_signals::SetSquareWave(input, 20000, 21000, 50, -32768, 32767);
  for (int32_t rate : kAllRates) {
    RateConverter converter;
    RateConverter_Reset(&converter);
    const SampleConverter convert = ConverterForRate(rate);
    shifted_reference::Converter reference = shifted_reference::Make(rate);
    for (size_t i = 0; i < input.size(); ++i) {
      int16_t out = 0;
      int16_t expected = 0;
      const bool produced = convert(&converter, input[i], &out);
      ASSERT_EQ(produced, shifted_reference::Convert(reference, input[i], &expected))
          << rate << " input " << i;
      ASSERT_EQ(out, expected) << rate << " input " << i;
      // The filtered values themselves, not only their truncations, must agree.
      ASSERT_EQ(converter.currentValue, reference.currentValue) << rate << " input " << i;
      ASSERT_EQ(converter.phase, reference.phase) << rate << " input " << i;
    }
  }
}

}  // namespace
