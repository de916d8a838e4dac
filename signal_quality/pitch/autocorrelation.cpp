#include "fft/real_fft_256.h"
#include "pitch/periodicity_internal.h"

void WindowAutocorrelation(const int16_t* window, float* out, AutocorrelationWork* work) {
  // The forward transform of the window with a zero upper half (which keeps the circular
  // wrap-around out of lags 0..127), the power spectrum scaled by 1/256 (which cancels the
  // scale of the pair), the backward transform: one call runs all three, the spectrum kept in
  // registers between them.
  Autocorrelation256(window, out, work->fftWork);
}

float NormalizedAutocorrelation(const int16_t* window, float* values, AutocorrelationWork* work) {
  WindowAutocorrelation(window, values, work);
  const float energy = float(double(values[0]) / kPeriodicityWindowLength);
  if (values[0] > 0.0f) {
    // Multiplied by the single-precision reciprocal, not divided by values[0]. The
    // product of two floats is exact in double, so rounding it once to float is the
    // float product.
    const float inverse = float(1.0 / double(values[0]));
    for (int32_t i = 1; i < kPeriodicityWindowLength; ++i) values[i] = values[i] * inverse;
  }
  values[0] = 1.0f;
  return energy;
}
