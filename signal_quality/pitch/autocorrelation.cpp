#include "fft/real_fft.h"
#include "pitch/periodicity_internal.h"

int32_t WindowAutocorrelation(const int16_t* window, float* out, int32_t count, void* work) {
  if (count != kPeriodicityWindowLength) return -1;
  AutocorrelationWork* area = static_cast<AutocorrelationWork*>(AlignToFloat(work));

  // A record of this call's own: concurrent analyses never rebind each other's work array.
  RealFftConfig config = kRealFftConfig256;
  config.work = area->fftWork;

  // The zero upper half keeps the circular wrap-around out of lags 0..127.
  float* d = area->data;
  for (int32_t i = 0; i < count; ++i) d[i] = float(window[i]);
  for (int32_t i = count; i < kTransformLength; ++i) d[i] = 0.0f;

  RealFftForward(&config, d);

  // Power spectrum; the 1/256 cancels the scale of the forward-backward pair. Scaling a
  // float by a power of two in double and rounding once to float is the float product
  // itself, subnormal results included, so the scaling is done in float.
  const float scale = 0.00390625f;
  for (int32_t k = 1; k < kTransformLength / 2; ++k) {
    const double re = d[2 * k - 1];
    const double im = d[2 * k];
    d[2 * k - 1] = float(re * re + im * im) * scale;
    d[2 * k] = 0.0f;
  }
  const double dc = d[0];
  const double nyquist = d[kTransformLength - 1];
  d[0] = float(dc * dc) * scale;
  d[kTransformLength - 1] = float(nyquist * nyquist) * scale;

  RealFftBackward(&config, d);

  for (int32_t j = 0; j < count; ++j) out[j] = d[j];
  return 0;
}

float NormalizedAutocorrelation(const int16_t* window, float* values, int32_t count,
                                void* fftWork) {
  if (WindowAutocorrelation(window, values, count, fftWork) != 0) return 0.0f;
  const float energy = float(double(values[0]) / count);
  if (values[0] > 0.0f) {
    // Multiplied by the single-precision reciprocal, not divided by values[0]. The
    // product of two floats is exact in double, so rounding it once to float is the
    // float product.
    const float inverse = float(1.0 / double(values[0]));
    for (int32_t i = 1; i < count; ++i) values[i] = values[i] * inverse;
  }
  values[0] = 1.0f;
  return energy;
}
