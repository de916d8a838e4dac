#include "fft/poly_cos.h"

float PolyCos(float x) {
  // Single-precision coefficients; the Horner steps run in double and round once.
  const double p0 = 0.9999933f;
  const double p1 = 0.49991244f;
  const double p2 = 0.041487746f;
  const double p3 = 0.0012712094f;
  const float halfPi = 1.5707964f;
  const float pi = 3.1415927f;
  if (x < halfPi) {
    const float s = float(double(x) * x);
    return float(((p2 - p3 * s) * s - p1) * s + p0);
  }
  // cos(x) = -cos(pi - x) keeps the polynomial on its accurate range.
  const float y = pi - x;
  const float s = float(double(y) * y);
  return -float(((p2 - p3 * s) * s - p1) * s + p0);
}
