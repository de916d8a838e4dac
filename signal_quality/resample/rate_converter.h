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
  const double fraction = double(phase) / double(outputStep);
  const double interpolated =
      converter->previousValue * (1.0 - fraction) + converter->currentValue * fraction;
  // Clamping first and truncating after is the same as testing v > 32767.0, then
  // v < -32768.0, then truncating toward zero: the filter output is always finite.
  const double clamped =
      interpolated > 32767.0 ? 32767.0 : (interpolated < -32768.0 ? -32768.0 : interpolated);
  *output = produced ? int16_t(int32_t(clamped)) : int16_t(0);
  return produced;
}
