#include "endpoint/preprocess.h"

void HalveRate(const int16_t* input, int32_t count, int16_t* output, int16_t* carried) {
  const int32_t half = count / 2;
  if (half == 0) return;
  // Each output takes the odd sample before its pair, so the loop carries nothing from one
  // output to the next and vectorises. In place, every read lies at or beyond the output
  // position being written, so no sample is overwritten before it is read. Each term is
  // floored, so the sum stays within -32768 ... 32765.
  const int32_t lastQuarter = input[2 * half - 1] >> 2;
  output[0] = int16_t(*carried + (input[0] >> 1) + (input[1] >> 2));
  for (int32_t k = 1; k < half; ++k) {
    output[k] = int16_t((input[2 * k - 1] >> 2) + (input[2 * k] >> 1) + (input[2 * k + 1] >> 2));
  }
  *carried = int16_t(lastQuarter);
}

void RemoveDc(int16_t* samples, int32_t count, int32_t* prevInput, int32_t* prevOutput) {
  uint32_t lastInput = uint32_t(*prevInput);
  uint32_t lastOutput = uint32_t(*prevOutput);
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t input = uint32_t(int32_t{samples[i]} * 1024);
    // The filter itself keeps 998 * y within int32; the sum wraps in 32 bits so that any
    // carried state, however it was set, stays defined.
    const int32_t y = int32_t(998u * lastOutput + input - lastInput) >> 10;
    // The output can exceed the 16-bit range; only its low 16 bits go on.
    samples[i] = int16_t(uint16_t(uint32_t(y)));
    lastOutput = uint32_t(y);
    lastInput = input;
  }
  *prevInput = int32_t(lastInput);
  *prevOutput = int32_t(lastOutput);
}
