// The block converters against the written sum, evaluated sample by sample on shifted arrays:
// every output sample bit for bit, and the whole state after every block.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "resample/rate_converter.h"
#include "resample/tests/shifted_reference.h"
#include "support/seeded_random.h"
#include "support/test_signals.h"

namespace {

constexpr int32_t kAllRates[] = {8000, 11025, 16000, 22050, 44100, 48000};

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Bit for bit, except that at 16000 Hz, whose block converter leaves out the terms of the zero
// coefficients, a zero may carry the other sign.
::testing::AssertionResult SameValue(int32_t rate, double block, double reference) {
  if (SameBits(block, reference)) return ::testing::AssertionSuccess();
  if (rate == 16000 && block == 0.0 && reference == 0.0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << block << " against " << reference;
}

// The converter's state read in the reference's terms, oldest history element first. At
// 16000 Hz only the filtered values that an output can show are kept: those of the inputs
// that arrived at phase 0, which is where the newest one arrived when the phase is now 8000.
void ExpectSameState(int32_t rate, const RateConverter& c, const shifted_reference::Converter& r,
                     size_t at) {
  ASSERT_EQ(c.phase, r.phase) << rate << " after input " << at;
  const bool newestShown = rate != 16000 || r.phase == 8000;
  auto shown = [&](int32_t age) { return rate != 16000 || (age % 2 == 0) == newestShown; };
  if (shown(1)) {
    ASSERT_TRUE(SameValue(rate, c.previousValue, r.previousValue)) << rate << " after " << at;
  }
  if (shown(0)) {
    ASSERT_TRUE(SameValue(rate, c.currentValue, r.currentValue)) << rate << " after " << at;
  }
  if (rate == 8000) return;  // no filter, no histories
  for (int32_t k = 0; k < kConverterHistoryLength; ++k) {
    ASSERT_TRUE(SameBits(c.inputHistory[c.oldest + k], r.inputHistory[k]))
        << rate << " input history " << k << " after " << at;
    if (shown(kConverterHistoryLength - 1 - k)) {
      ASSERT_TRUE(SameValue(rate, c.outputHistory[c.oldest + k], r.outputHistory[k]))
          << rate << " output history " << k << " after " << at;
    }
  }
}

// Loud noise over the whole 16-bit range, full-scale square bursts that drive the filters past
// full scale, quiet noise and long silences, in which the filters decay toward zero.
std::vector<int16_t> HardStream(size_t count, uint32_t seed) {
  std::vector<int16_t> samples = test_signals::UniformNoise(count, 32767, seed);
  SeededRandom random(seed + 1);
  for (size_t begin = 0; begin + 4000 < count; begin += 6000 + random.TopBits(12)) {
    const size_t end = begin + 2000 + random.TopBits(10);
    switch (random.TopBits(2)) {
      case 0:
        test_signals::SetSquareWave(samples, begin, end, 1 + random.TopBits(6), 32767, -32768);
        break;
      case 1:
        for (size_t i = begin; i < end; ++i) samples[i] = 0;
        break;
      case 2:
        for (size_t i = begin; i < end; ++i) samples[i] = int16_t(random.Uniform(3));
        break;
      default:
        break;
    }
  }
  return samples;
}

TEST(BlockConverter, MatchesTheWrittenSumOverLongHardStreamsInBlocksOfEverySize) {
  for (int32_t rate : kAllRates) {
    const std::vector<int16_t> input = HardStream(400000, uint32_t(rate));
    RateConverter converter;
    RateConverter_Reset(&converter);
    const BlockConverter convertBlock = BlockConverterForRate(rate);
    ASSERT_NE(convertBlock, nullptr);
    shifted_reference::Converter reference = shifted_reference::Make(rate);
    SeededRandom sizes{uint32_t(rate) + 5};
    std::vector<int16_t> output(2000);
    size_t at = 0;
    while (at < input.size()) {
      // Empty blocks, single samples, odd lengths, and blocks longer than one pass.
      const size_t size = std::min(input.size() - at, size_t(sizes.TopBits(10)) % 700);
      const int32_t produced =
          convertBlock(&converter, input.data() + at, int32_t(size), output.data());
      int32_t expected = 0;
      for (size_t i = at; i < at + size; ++i) {
        int16_t sample = 0;
        if (!shifted_reference::Convert(reference, input[i], &sample)) continue;
        ASSERT_LT(expected, produced) << rate << " input " << i;
        ASSERT_EQ(output[size_t(expected)], sample) << rate << " input " << i;
        ++expected;
      }
      ASSERT_EQ(produced, expected) << rate << " block at " << at;
      at += size;
      ExpectSameState(rate, converter, reference, at);
    }
  }
}

TEST(BlockConverter, SixteenThousandReallyMeetsZeroSums) {
  // After a loud stretch the filter decays in silence until its sums round to zero: the case
  // in which the terms left out could have changed a sign. The last input arrives at phase 0,
  // so its value is one an output would show.
  std::vector<int16_t> input = test_signals::UniformNoise(2000, 32767, 3);
  input.resize(40001, 0);
  RateConverter converter;
  RateConverter_Reset(&converter);
  std::vector<int16_t> output(input.size());
  ConvertBlockFrom16000(&converter, input.data(), int32_t(input.size()), output.data());
  EXPECT_EQ(converter.currentValue, 0.0);
  shifted_reference::Converter reference = shifted_reference::Make(16000);
  for (int16_t s : input) {
    int16_t ignored;
    shifted_reference::Convert(reference, s, &ignored);
  }
  ExpectSameState(16000, converter, reference, input.size());
}

TEST(RateConverterInputsFor, TheLastInputTakenProducesTheLastOutput) {
  const std::vector<int16_t> input = test_signals::UniformNoise(20000, 1000, 17);
  for (int32_t rate : kAllRates) {
    RateConverter converter;
    RateConverter_Reset(&converter);
    const BlockConverter convertBlock = BlockConverterForRate(rate);
    std::vector<int16_t> output(200);
    SeededRandom wanted{uint32_t(rate)};
    size_t at = 0;
    while (at + 1200 < input.size()) {
      const int32_t outputs = 1 + int32_t(wanted.TopBits(8) % 160);
      const int32_t inputs = RateConverter_InputsFor(&converter, rate, outputs);
      ASSERT_EQ(convertBlock(&converter, input.data() + at, inputs - 1, output.data()), outputs - 1)
          << rate;
      ASSERT_EQ(convertBlock(&converter, input.data() + at + inputs - 1, 1, output.data()), 1)
          << rate;
      at += size_t(inputs);
    }
  }
}

}  // namespace
