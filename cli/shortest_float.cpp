#include "shortest_float.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Writes to text (32 bytes) a decimal of `digits` significant digits that reads back as value,
// the nearest such; false when there is none.
bool ReadsBackWithDigits(char* text, float value, int digits) {
  // printf rounds the exact value to the nearest decimal of this length, ties to even as
  // to_chars breaks them.
  std::snprintf(text, 32, "%.*e", digits - 1, double(value));
  if (std::strtof(text, nullptr) == value) return true;
  // Floats just below a power of two lie twice as close as those above, so what reads back as
  // one reaches half as far down as up: the nearest decimal may fall outside below while the
  // next one up lies inside.
  int exponent = 0;
  if (std::frexp(value, &exponent) != 0.5f) return false;
  const int decimalExponent = std::atoi(std::strchr(text, 'e') + 1);
  const double step = std::pow(10.0, decimalExponent - (digits - 1));
  std::snprintf(text, 32, "%.*e", digits - 1, std::strtod(text, nullptr) + step);
  return std::strtof(text, nullptr) == value;
}

}  // namespace

std::string ShortestFloatText(float value) {
  if (std::isnan(value)) return "nan";
  if (std::signbit(value)) {
    std::string positive = ShortestFloatText(-value);
    positive.insert(positive.begin(), '-');
    return positive;
  }
  if (std::isinf(value)) return "inf";
  if (value == 0.0f) return "0";
  char text[32];
  int digits = 1;
  while (!ReadsBackWithDigits(text, value, digits) && digits < 9) ++digits;
  // to_chars writes whichever form has fewer characters: a whole number in full where that is
  // no longer than its %e form, and in full it is the nearest whole number, not those digits.
  const int decimalExponent = std::atoi(std::strchr(text, 'e') + 1);
  const int scientificLength = digits + (digits > 1 ? 1 : 0) + 4;
  if (decimalExponent >= digits - 1 && decimalExponent + 1 <= scientificLength) {
    std::snprintf(text, sizeof text, "%.0f", std::nearbyint(double(value)));
  }
  return text;
}
