#include "endpoint/preprocess.h"

void HalveRate(const int16_t* input, int32_t count, int16_t* output, int16_t* carried) {
  int32_t carry = *carried;
  for (int32_t k = 0; k < count / 2; ++k) {
    // Both inputs are read before output[k] is written: output[k] may be input[k].
    const int32_t even = input[2 * k];
    const int32_t odd = input[2 * k + 1];
    // Each term is floored, so the sum stays within -32768 ... 32765.
    output[k] = int16_t(carry + (even >> 1) + (odd >> 2));
    carry = odd >> 2;
  }
  *carried = int16_t(carry);
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
