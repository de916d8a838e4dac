#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fft/fft_tables.h"
#include "fft/real_fft_256.h"
#include "fft/tests/reference_fft.h"
#include "support/seeded_random.h"

namespace {

constexpr int32_t kN = 256;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The transforms of the form the library takes, with a work array full of NaN: nothing may
// depend on what it held.
std::vector<float> Forward(std::vector<float> data) {
  std::vector<float> work(kN, std::numeric_limits<float>::quiet_NaN());
  Forward256(data.data(), work.data(), TwiddleTable);
  return data;
}

std::vector<float> Backward(std::vector<float> data) {
  std::vector<float> work(kN, std::numeric_limits<float>::quiet_NaN());
  Backward256(data.data(), work.data(), TwiddleTable);
  return data;
}

// Deterministic values in [-1000, 1000].
std::vector<float> NoiseInput(uint32_t seed) {
  SeededRandom random(seed);
  std::vector<float> x(kN);
  for (float& v : x) v = float(random.Uniform(1000, 16));
  return x;
}

uint32_t Bits(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

float FromBits(uint32_t bits) {
  float v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

struct Input {
  std::string name;
  std::vector<float> values;
};

std::string Name(const char* kind, int32_t number) {
  std::string name = kind;
  name += ' ';
  name += std::to_string(number);
  return name;
}

// What the transforms must agree on: silence of both signs, full scale, impulses everywhere,
// alternating signs and square waves, magnitudes far from the samples' (but never near the
// subnormal range, even after cancellation), and many random inputs.
std::vector<Input> ComparisonInputs() {
  std::vector<Input> inputs;
  auto constant = [](float v) { return std::vector<float>(kN, v); };
  inputs.push_back({"zeros", constant(0.0f)});
  inputs.push_back({"negative zeros", constant(-0.0f)});
  inputs.push_back({"full scale", constant(32767.0f)});
  inputs.push_back({"negative full scale", constant(-32768.0f)});
  for (int32_t at = 0; at < kN; ++at) {
    std::vector<float> impulse = constant(0.0f);
    impulse[at] = 1.0f;
    inputs.push_back({Name("unit impulse at", at), impulse});
    impulse[at] = -32768.0f;
    inputs.push_back({Name("full-scale impulse at", at), impulse});
  }
  for (int32_t half = 1; half < kN; half *= 2) {
    std::vector<float> square(kN);
    for (int32_t j = 0; j < kN; ++j) square[j] = (j / half) % 2 == 0 ? 32767.0f : -32768.0f;
    inputs.push_back({Name("full-scale square, half period", half), square});
  }
  std::vector<float> alternating(kN);
  for (int32_t j = 0; j < kN; ++j) alternating[j] = j % 2 == 0 ? 1.0f : -1.0f;
  inputs.push_back({"alternating signs", alternating});
  SeededRandom random(1);
  for (int32_t trial = 0; trial < 200; ++trial) {
    std::vector<float> samples(kN), fractions(kN), large(kN), small(kN), anyExponent(kN);
    for (int32_t j = 0; j < kN; ++j) {
      samples[j] = float(int32_t(random.TopBits(16)) - 32768);
      // Fractions, so that the sums in the sqrt(2) columns are not exact.
      fractions[j] = float(samples[j] / 7.0);
      large[j] = std::ldexp(samples[j], 85);
      small[j] = std::ldexp(samples[j], -55);
      // Random sign and mantissa, exponent from -40 to 100.
      const uint32_t bits = random.Next();
      const uint32_t exponent = 127 - 40 + (bits >> 8) % 141;
      anyExponent[j] = FromBits((bits & 0x807fffffu) | exponent << 23);
    }
    inputs.push_back({Name("samples", trial), samples});
    inputs.push_back({Name("fractions", trial), fractions});
    inputs.push_back({Name("large", trial), large});
    inputs.push_back({Name("small", trial), small});
    inputs.push_back({Name("any exponent", trial), anyExponent});
  }
  return inputs;
}

std::vector<float> ReferenceForward(std::vector<float> data) {
  std::vector<float> work(kN);
  reference_fft::ForwardStages(kN, data.data(), work.data(), TwiddleTable);
  return data;
}

std::vector<float> ReferenceBackward(std::vector<float> data) {
  std::vector<float> work(kN);
  reference_fft::BackwardStages(kN, data.data(), work.data(), TwiddleTable);
  return data;
}

// Compares bit patterns, so that -0 and +0 differ.
::testing::AssertionResult SameBits(const std::vector<float>& actual,
                                    const std::vector<float>& expected) {
  if (std::memcmp(actual.data(), expected.data(), kN * sizeof(float)) == 0) {
    return ::testing::AssertionSuccess();
  }
  int32_t i = 0;
  while (Bits(actual[i]) == Bits(expected[i])) ++i;
  auto described = [](float v) {
    char text[48];
    std::snprintf(text, sizeof text, "%.9g (0x%08x)", double(v), unsigned(Bits(v)));
    return std::string(text);
  };
  return ::testing::AssertionFailure() << "value " << i << " is " << described(actual[i])
                                       << ", the reference gives " << described(expected[i]);
}

}  // namespace

// Against the transforms' definitions evaluated in double. The reference, which every form
// equals bit for bit, is checked by the same token.
TEST(RealFft256, MatchesTheDirectTransformsInDouble) {
  const std::vector<float> x = NoiseInput(7);
  const std::vector<float> r = Forward(x);
  std::vector<double> expected(kN, 0.0);
  for (int32_t j = 0; j < kN; ++j) {
    expected[0] += x[j];
    expected[kN - 1] += (j % 2 == 0) ? x[j] : -x[j];
    for (int32_t k = 1; k < kN / 2; ++k) {
      const double angle = kTwoPi * double((j * k) % kN) / kN;
      expected[2 * k - 1] += x[j] * std::cos(angle);
      expected[2 * k] -= x[j] * std::sin(angle);
    }
  }
  // Six-decimal twiddles: about 1e-5 of the sum of magnitudes.
  for (int32_t i = 0; i < kN; ++i) EXPECT_NEAR(r[i], expected[i], 2.0) << i;

  const std::vector<float> spectrum = NoiseInput(11);
  const std::vector<float> y = Backward(spectrum);
  for (int32_t j = 0; j < kN; ++j) {
    double inverse = spectrum[0] + ((j % 2 == 0) ? spectrum[kN - 1] : -spectrum[kN - 1]);
    for (int32_t k = 1; k < kN / 2; ++k) {
      const double angle = kTwoPi * double((j * k) % kN) / kN;
      inverse += 2.0 * (spectrum[2 * k - 1] * std::cos(angle) - spectrum[2 * k] * std::sin(angle));
    }
    EXPECT_NEAR(y[j], inverse, 4.0) << j;
  }
}

// The library's passes run in an order of their own, over arrays in another layout, with
// statements written once for every layout; the reference runs each statement where the
// textbook has it. Twiddle products and the sqrt(2) columns are rounded once from double in
// both: float products would change the bits. Every form this processor runs is checked.
TEST(RealFft256, EveryValueOfBothDirectionsEqualsTheReferenceBitForBit) {
  for (const Transform256Form& form : RunnableTransformForms()) {
    std::printf("checking the %s form\n", form.instructionSet);
    auto forward = [&](std::vector<float> data) {
      std::vector<float> work(kN, std::numeric_limits<float>::quiet_NaN());
      form.forward(data.data(), work.data(), TwiddleTable);
      return data;
    };
    auto backward = [&](std::vector<float> data) {
      std::vector<float> work(kN, std::numeric_limits<float>::quiet_NaN());
      form.backward(data.data(), work.data(), TwiddleTable);
      return data;
    };
    for (const Input& input : ComparisonInputs()) {
      const std::vector<float> result = forward(input.values);
      ASSERT_TRUE(SameBits(result, ReferenceForward(input.values)))
          << form.instructionSet << " forward, " << input.name;
      ASSERT_TRUE(SameBits(backward(input.values), ReferenceBackward(input.values)))
          << form.instructionSet << " backward, " << input.name;
      ASSERT_TRUE(SameBits(backward(result), ReferenceBackward(result)))
          << form.instructionSet << " backward of the forward result, " << input.name;
    }
  }
}

// The autocorrelation route in one call against its steps one by one: the reference forward
// transform of the zero-filled window, the power spectrum as written (squares and sum in
// double, one rounding, then the scale in float), the reference backward transform. Windows
// over the whole 16-bit range, silence, full scale of both signs, square waves, impulses at
// every position and small noise, whose spectra hold zeros.
TEST(Autocorrelation256, EqualsForwardPowerSpectrumBackwardBitForBit) {
  std::vector<std::vector<int16_t>> windows;
  windows.push_back(std::vector<int16_t>(128, 0));
  windows.push_back(std::vector<int16_t>(128, 32767));
  windows.push_back(std::vector<int16_t>(128, -32768));
  for (int32_t at = 0; at < 128; ++at) {
    std::vector<int16_t> impulse(128, 0);
    impulse[at] = at % 2 == 0 ? int16_t(-32768) : int16_t(1);
    windows.push_back(impulse);
  }
  for (int32_t half = 1; half < 128; half *= 2) {
    std::vector<int16_t> square(128);
    for (int32_t j = 0; j < 128; ++j) square[j] = (j / half) % 2 == 0 ? 32767 : -32768;
    windows.push_back(square);
  }
  SeededRandom random(17);
  for (int32_t trial = 0; trial < 3000; ++trial) {
    std::vector<int16_t> window(128);
    const int32_t bits = 1 + trial % 16;
    for (int16_t& s : window) s = int16_t(int32_t(random.TopBits(bits)) - (1 << (bits - 1)));
    windows.push_back(window);
  }
  for (const Transform256Form& form : RunnableTransformForms()) {
    for (size_t w = 0; w < windows.size(); ++w) {
      std::vector<float> d(kN, 0.0f);
      for (int32_t j = 0; j < 128; ++j) d[j] = float(windows[w][j]);
      d = ReferenceForward(d);
      for (int32_t k = 1; k < kN / 2; ++k) {
        const double re = d[2 * k - 1];
        const double im = d[2 * k];
        d[2 * k - 1] = float(re * re + im * im) * 0.00390625f;
        d[2 * k] = 0.0f;
      }
      d[0] = float(double(d[0]) * d[0]) * 0.00390625f;
      d[kN - 1] = float(double(d[kN - 1]) * d[kN - 1]) * 0.00390625f;
      std::vector<float> expected = ReferenceBackward(d);
      expected.resize(kN);
      std::fill(expected.begin() + 128, expected.end(), 0.0f);

      std::vector<float> lags(kN, 0.0f);
      std::vector<float> work(2 * kN, std::numeric_limits<float>::quiet_NaN());
      form.autocorrelation(windows[w].data(), lags.data(), work.data());
      ASSERT_TRUE(SameBits(lags, expected)) << form.instructionSet << ", window " << w;
    }
  }
}
