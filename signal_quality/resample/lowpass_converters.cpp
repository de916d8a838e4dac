// The five filtered converters: a 10th-order Butterworth low-pass with its corner at
// 4000 Hz, run at the input rate, ahead of the common phase step.
#include "resample/lowpass_filters.h"
#include "resample/rate_converter.h"

namespace {

inline bool FilterAndAdvance(RateConverter* converter, int16_t sample, const LowpassFilter& filter,
                             int32_t rate, int16_t* output) {
  const int32_t slot = converter->oldest;
  const int32_t oldest = slot + 1 == kConverterHistoryLength ? 0 : slot + 1;
  // A true division: a stored reciprocal would round differently.
  const double input = double(sample) / filter.gain;
  converter->inputHistory[slot] = input;
  converter->inputHistory[slot + kConverterHistoryLength] = input;
  converter->oldest = oldest;

  // x[0..10]: the eleven newest inputs, x[10] the one just taken. y[0..9]: the ten newest
  // outputs, y[9] the latest. The sum runs strictly left to right in this order; the
  // rounding of every partial sum is part of the result.
  const double* x = converter->inputHistory + oldest;
  const double* y = converter->outputHistory + oldest;
  const double* a = filter.feedback;
  const double filtered = (x[0] + x[10]) + 10.0 * (x[1] + x[9]) + 45.0 * (x[2] + x[8]) +
                          120.0 * (x[3] + x[7]) + 210.0 * (x[4] + x[6]) + 252.0 * x[5] +
                          a[0] * y[0] + a[1] * y[1] + a[2] * y[2] + a[3] * y[3] + a[4] * y[4] +
                          a[5] * y[5] + a[6] * y[6] + a[7] * y[7] + a[8] * y[8] + a[9] * y[9];
  converter->outputHistory[slot] = filtered;
  converter->outputHistory[slot + kConverterHistoryLength] = filtered;
  return AdvancePhase(converter, 8000, filtered, rate, output);
}

}  // namespace

bool ConvertFrom48000(RateConverter* converter, int16_t sample, int16_t* output) {
  return FilterAndAdvance(converter, sample, kLowpass48000, 48000, output);
}

bool ConvertFrom44100(RateConverter* converter, int16_t sample, int16_t* output) {
  return FilterAndAdvance(converter, sample, kLowpass44100, 44100, output);
}

bool ConvertFrom22050(RateConverter* converter, int16_t sample, int16_t* output) {
  return FilterAndAdvance(converter, sample, kLowpass22050, 22050, output);
}

bool ConvertFrom16000(RateConverter* converter, int16_t sample, int16_t* output) {
  return FilterAndAdvance(converter, sample, kLowpass16000, 16000, output);
}

bool ConvertFrom11025(RateConverter* converter, int16_t sample, int16_t* output) {
  return FilterAndAdvance(converter, sample, kLowpass11025, 11025, output);
}
