#pragma once

#include <cstdint>

// A deliberately plain second evaluation of the real transform, for any length that is a power
// of 4: whole radix-4 passes in the textbook order, every statement written out where it is
// used, nothing shared with the library's passes. The library's 256-point transform must give
// the same bits for every input; the results have the layout and scale of Forward256 and
// Backward256. twiddles: laid out for n as TwiddleTable is for 256; work holds n floats.

namespace reference_fft {

void ForwardStages(int32_t n, float* data, float* work, const float* twiddles);
void BackwardStages(int32_t n, float* data, float* work, const float* twiddles);

}  // namespace reference_fft
