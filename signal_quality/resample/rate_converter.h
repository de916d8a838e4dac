// Conversion of 16-bit input samples at one of six rates to 8000 Hz, a block of samples per
// call.
//
// What is computed, written sample by sample (the resample tests evaluate it so): each input
// sample, divided by the filter's gain G, enters the input history; the filtered value is the
// sum, strictly left to right, (x[0] + x[10]) + 10 (x[1] + x[9]) + 45 (x[2] + x[8])
// + 120 (x[3] + x[7]) + 210 (x[4] + x[6]) + 252 x[5] + a0 y[0] + ... + a9 y[9] over the
// eleven newest inputs x and the ten newest filtered values y, oldest first; at 8000 Hz the
// sample itself is the value. Then the phase advances by 8000 (by 1 against 1 at 8000 Hz); when
// it reaches the rate it drops by the rate, and the output is InterpolatedSample of the previous
// and the new value at that phase.
#pragma once

#include <cstdint>

// The histories are rings written twice, at slot and slot + 11: the eleven newest values lie
// contiguously at [oldest, oldest + 10], oldest first.
inline constexpr int32_t kConverterHistoryLength = 11;

struct RateConverter {
  double inputHistory[2 * kConverterHistoryLength];   // inputs already divided by G
  double outputHistory[2 * kConverterHistoryLength];  // filter outputs
  double previousValue;  // filtered value of the input sample before the current one
  double currentValue;   // filtered value of the current input sample
  int32_t phase;         // 0 <= phase < input rate between calls
  int32_t oldest;        // ring slot of the oldest history element, 0..10
};

// Every field zero: the state of a fresh stream.
void RateConverter_Reset(RateConverter* converter);

// A value as a 16-bit sample: saturated, then truncated toward zero.
inline int16_t SaturatedSample(double value) {
  // Clamping first and truncating after is the same as testing v > 32767.0, then
  // v < -32768.0, then truncating toward zero: the filter output is always finite.
  const double clamped = value > 32767.0 ? 32767.0 : (value < -32768.0 ? -32768.0 : value);
  return int16_t(int32_t(clamped));
}

// The sample at an output instant that lies phase / outputStep of the way from the previous
// to the current value, saturated to 16 bits.
inline int16_t InterpolatedSample(double previous, double current, int32_t phase,
                                  int32_t outputStep) {
  const double fraction = double(phase) / double(outputStep);
  return SaturatedSample(previous * (1.0 - fraction) + current * fraction);
}

// A whole block of input samples in one call: writes the 8 kHz samples that they produce to
// output and returns how many. The samples and the state afterwards are those of the written
// sum, except at 16000 Hz: there only the filtered values of the inputs that arrive at phase 0,
// the only ones an output can show, are computed (and a 0 among them may differ in its sign,
// which no output can show either); the others are left at 0, which the sum weighs only with
// the filter's zero coefficients. count may be 0.
using BlockConverter = int32_t (*)(RateConverter* converter, const int16_t* samples, int32_t count,
                                   int16_t* output);

int32_t ConvertBlockFrom8000(RateConverter* converter, const int16_t* samples, int32_t count,
                             int16_t* output);
int32_t ConvertBlockFrom11025(RateConverter* converter, const int16_t* samples, int32_t count,
                              int16_t* output);
int32_t ConvertBlockFrom16000(RateConverter* converter, const int16_t* samples, int32_t count,
                              int16_t* output);
int32_t ConvertBlockFrom22050(RateConverter* converter, const int16_t* samples, int32_t count,
                              int16_t* output);
int32_t ConvertBlockFrom44100(RateConverter* converter, const int16_t* samples, int32_t count,
                              int16_t* output);
int32_t ConvertBlockFrom48000(RateConverter* converter, const int16_t* samples, int32_t count,
                              int16_t* output);

// The block converter for an input rate in Hz, or null when the rate is not supported.
BlockConverter BlockConverterForRate(int32_t rate);

// How many more input samples at `rate` it takes the converter to produce `outputs` (>= 1)
// more 8 kHz samples: the last of them produces the last output.
inline int32_t RateConverter_InputsFor(const RateConverter* converter, int32_t rate,
                                       int32_t outputs) {
  // An output falls each time phase + 8000 per input reaches the rate. At 8000 Hz the phase
  // stays 0 and every input produces one output, which the same expression gives.
  return int32_t((int64_t(outputs) * rate - converter->phase + 7999) / 8000);
}
