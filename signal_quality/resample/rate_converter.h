// Conversion of 16-bit input samples at one of six rates to 8000 Hz, one sample per call.
#pragma once

#include <cstdint>

// Filter histories are rings written twice, at slot and slot + 11, so that the eleven
// newest values always lie contiguously at [oldest, oldest + 10]: a sample costs two
// stores per ring instead of shifting twenty doubles, and the newest output is read back
// through a plain store-to-load forward, which keeps the recursion's chain short.
inline constexpr int32_t kConverterHistoryLength = 11;

struct RateConverter {
  double inputHistory[2 * kConverterHistoryLength];   // inputs already divided by G
  double outputHistory[2 * kConverterHistoryLength];  // filter outputs
  double previousValue;  // filtered value of the input sample before the current one
  double currentValue;   // filtered value of the current input sample
  int32_t phase;         // 0 <= phase < input rate between calls
  int32_t oldest;        // ring slot of the oldest history element, 0..10
};

// Produces at most one 8 kHz sample per input sample. Returns true when *output holds a
// new sample; otherwise writes 0 to *output and returns false.
using SampleConverter = bool (*)(RateConverter* converter, int16_t sample, int16_t* output);

// Every field zero: the state of a fresh stream.
void RateConverter_Reset(RateConverter* converter);

bool ConvertFrom8000(RateConverter* converter, int16_t sample, int16_t* output);
bool ConvertFrom11025(RateConverter* converter, int16_t sample, int16_t* output);
bool ConvertFrom16000(RateConverter* converter, int16_t sample, int16_t* output);
bool ConvertFrom22050(RateConverter* converter, int16_t sample, int16_t* output);
bool ConvertFrom44100(RateConverter* converter, int16_t sample, int16_t* output);
bool ConvertFrom48000(RateConverter* converter, int16_t sample, int16_t* output);

// The converter for an input rate in Hz, or null when the rate is not supported.
SampleConverter ConverterForRate(int32_t rate);

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

// The common last step: takes the newest value, advances the phase by outputStep and, when
// an output instant has been passed, interpolates between the previous and the newest value
// and writes it as a saturated 16-bit sample.
inline bool AdvancePhase(RateConverter* converter, int32_t outputStep, double value, int32_t rate,
                         int16_t* output) {
  converter->previousValue = converter->currentValue;
  converter->currentValue = value;
  int32_t phase = converter->phase + outputStep;
  const bool produced = phase >= rate;
  // Evaluated whether or not a sample falls here: where outputs fall irregularly (44100,
  // 22050, 11025 Hz) a branch would be mispredicted often, and the unused result is
  // simply replaced by 0.
  if (produced) phase -= rate;
  converter->phase = phase;
  const int16_t sample =
      InterpolatedSample(converter->previousValue, converter->currentValue, phase, outputStep);
  *output = produced ? sample : int16_t(0);
  return produced;
}

// A whole block of input samples in one call: writes the 8 kHz samples that they produce to
// output and returns how many. The samples and the state afterwards are those of one call of
// the rate's SampleConverter per input sample, except at 16000 Hz: there only the filtered
// values of the inputs that arrive at phase 0, the only ones an output can show, are computed
// (and a 0 among them may differ in its sign, which no output can show either); the others are
// left at 0, which the sample converter weighs only with the filter's zero coefficients.
// count may be 0.
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
