#include "shortest_float.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

// The same value as std::to_chars, on every power of two (where floats are denser below than
// above) and on a quarter of a million bit patterns spread over every sign, exponent and mantissa.
TEST(ShortestFloat, ReadsBackAsToCharsDoes) {
  auto check = [](float value) {
    char text[32];
    *std::to_chars(text, text + sizeof text - 1, value).ptr = '\0';
    const double expected = std::strtod(text, nullptr);
    const double found = std::strtod(ShortestFloatText(value).c_str(), nullptr);
    return expected == found || (expected != expected && found != found);
  };
  for (int exponent = -149; exponent <= 127; ++exponent) {
    EXPECT_TRUE(check(std::ldexp(1.0f, exponent))) << exponent;
    EXPECT_TRUE(check(-std::ldexp(1.0f, exponent))) << exponent;
  }
  for (uint64_t bits = 0; bits <= std::numeric_limits<uint32_t>::max(); bits += 16381) {
    const float value = std::bit_cast<float>(uint32_t(bits));
    ASSERT_TRUE(check(value)) << bits;
  }
}
