#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "resample/rate_converter.h"
#include "resample/tests/shifted_reference.h"

namespace {

constexpr int32_t allRates[] = {8000, 11025, 16000, 22050, 44100, 48000};

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

std::vector<int16_t> Noise(size_t count, uint32_t seed, int amplitude) {
  std::mt19937 generator(seed);
  std::uniform_int_distribution<int> value(-amplitude, amplitude - 1);
  std::vector<int16_t> samples(count);
  for (int16_t& s : samples) s = int16_t(value(generator));
  return samples;
}

TEST(ConverterForRate, KnowsExactlyTheSixRates) {
  for (int32_t rate : allRates) EXPECT_NE(ConverterForRate(rate), nullptr) << rate;
  for (int32_t rate : {0, -8000, 12000, 24000, 32000, 96000, 8001}) {
    EXPECT_EQ(ConverterForRate(rate), nullptr) << rate;
  }
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
  const std::vector<int16_t> input = Noise(50000, 7, 1000);
  for (int32_t rate : allRates) {
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
  const Converted out = ConvertAll(8000, {5, 7, 9});
  EXPECT_EQ(out.samples, (std::vector<int16_t>{0, 5, 7}));
}

TEST(ConvertFrom8000, PassesFullScaleUnchanged) {
  const Converted out = ConvertAll(8000, {-32768, 32767, -1, 0});
  EXPECT_EQ(out.samples, (std::vector<int16_t>{0, -32768, 32767, -1}));
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
  std::vector<int16_t> square;
  for (int run = 0; run < 40; ++run) square.insert(square.end(), 300, run % 2 ? -32768 : 32767);
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

// A converter state primed so that the next AdvancePhase call lands on fraction f = 0.25
// between previous 100 and current 200 (rate 11025, step 8000).
RateConverter PrimedForQuarterFraction(double previous) {
  RateConverter converter;
  RateConverter_Reset(&converter);
  converter.currentValue = previous;
  converter.phase = 11025 + 2000 - 8000;
  return converter;
}

TEST(AdvancePhase, WeighsThePreviousValueWithOneMinusTheFraction) {
  RateConverter converter = PrimedForQuarterFraction(100.0);
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

TEST(AdvancePhase, ProducesNothingBeforeTheRateIsReached) {
  RateConverter converter;
  RateConverter_Reset(&converter);
  int16_t out = -1;
  EXPECT_FALSE(AdvancePhase(&converter, 8000, 5000.0, 44100, &out));
  EXPECT_EQ(out, 0);
  EXPECT_EQ(converter.phase, 8000);
  EXPECT_EQ(converter.currentValue, 5000.0);
}

TEST(ConverterExactness, MatchesAShiftedArrayEvaluationBitForBit) {
  // Loud noise with full-scale bursts, long enough to wrap the histories many times.
  std::vector<int16_t> input = Noise(60000, 11, 20000);
  for (size_t i = 20000; i < 21000; ++i) input[i] = (i / 50) % 2 ? 32767 : -32768;
  for (int32_t rate : allRates) {
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

TEST(ConverterExactness, OutputsFallOnTheDocumentedInputsAtFortyEightAndSixteenKilohertz) {
  // At these rates the fraction is always 0: the output carries the filtered value of the
  // input just before the one that produced it.
  const std::vector<int16_t> input = Noise(3000, 5, 30000);
  for (int32_t rate : {48000, 16000}) {
    const int32_t group = rate / 8000;
    RateConverter converter;
    RateConverter_Reset(&converter);
    const SampleConverter convert = ConverterForRate(rate);
    std::vector<double> filtered;
    for (size_t i = 0; i < input.size(); ++i) {
      int16_t out = 0;
      const bool produced = convert(&converter, input[i], &out);
      filtered.push_back(converter.currentValue);
      ASSERT_EQ(produced, int32_t(i % group) == group - 1) << rate << " input " << i;
      if (produced) {
        const double v = filtered[i - 1];
        const int16_t expected = v > 32767.0 ? 32767 : (v < -32768.0 ? -32768 : int16_t(v));
        ASSERT_EQ(out, expected) << rate << " input " << i;
      }
    }
  }
}

TEST(RateConverterReset, ForgetsEverythingBetweenStreams) {
  const std::vector<int16_t> first = Noise(4000, 3, 30000);
  const std::vector<int16_t> second = Noise(4000, 4, 30000);
  for (int32_t rate : allRates) {
    RateConverter converter;
    RateConverter_Reset(&converter);
    const SampleConverter convert = ConverterForRate(rate);
    int16_t out;
    for (int16_t s : first) convert(&converter, s, &out);
    RateConverter_Reset(&converter);
    std::vector<int16_t> afterReset;
    for (int16_t s : second) {
      if (convert(&converter, s, &out)) afterReset.push_back(out);
    }
    EXPECT_EQ(afterReset, ConvertAll(rate, second).samples) << rate;
  }
}

}  // namespace
