#pragma once

#include <cstdint>

// A deliberately plain second evaluation of the real transform, for any length whose factors
// are all 4: whole passes in the textbook order, every statement written out where it is used,
// nothing shared with the library's passes. The library's 256-point transform must give the
// same bits for every input; the results have the layout and scale of RealFftForward and
// RealFftBackward.
//
// factors as FactorTable holds them (n, factor count, the factors); twiddles laid out for
// that schedule as TwiddleTable is for 256 = 4 * 4 * 4 * 4; work holds n floats.

namespace reference_fft {

void ForwardStages(int32_t n, float* data, float* work, const float* twiddles,
                   const int32_t* factors);
void BackwardStages(int32_t n, float* data, float* work, const float* twiddles,
                    const int32_t* factors);

}  // namespace reference_fft
