// The five filtered converters: a 10th-order Butterworth low-pass with its corner at
// 4000 Hz, run at the input rate, ahead of the common phase step.
#include "resample/rate_converter.h"

namespace {

struct LowpassFilter {
  double gain;          // G: every input is divided by it before it enters the history
  double feedback[10];  // a0..a9: a0 weighs the oldest output, a9 the newest
};

constexpr LowpassFilter kLowpass48000 = {
    2866728.791,
    {-0.0334331837, 0.4461542257, -2.7030838921, 9.7980666029, -23.549461108, 39.25111209,
     -45.995712935, 37.467026803, -20.336373083, 6.6553472782}};
constexpr LowpassFilter kLowpass44100 = {
    1373777.293,
    {-0.0244958613, 0.3341231741, -2.0719559, 7.6987864577, -19.000640105, 32.583001652,
     -39.371616086, 33.157607829, -18.665571815, 6.3600152648}};
constexpr LowpassFilter kLowpass22050 = {
    4350.904991,
    {-0.0003872683, 0.0066844861, -0.0535610549, 0.262942137, -0.8823526682, 2.1207501551,
     -3.7505927183, 4.8330383225, -4.5058125544, 2.7339378285}};
// The corner is a quarter of the rate, so the odd coefficients vanish; they still take part
// in the sum, as in the other filters.
constexpr LowpassFilter kLowpass16000 = {
    345.2507086,
    {-0.0000167788, 0, -0.0031654815, 0, -0.0770411661, 0, -0.5453539095, 0, -1.3403832677, 0}};
constexpr LowpassFilter kLowpass11025 = {
    17.69346444,
    {-0.0031942899, -0.0495126652, -0.3523340657, -1.5191103652, -4.4065847179, -9.0160440949,
     -13.234423478, -13.840718324, -9.9529291465, -4.4996258124}};

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
