#pragma once

#include <cstdint>

// 256-point single-precision real FFT in the mixed-radix scheme of FFTPACK's RFFTF/RFFTB.
//
// Forward, in place, unscaled: r[0] = sum x[j]; r[2k-1] = sum x[j] cos(2 pi j k / n) and
// r[2k] = -sum x[j] sin(2 pi j k / n) for k = 1 .. n/2 - 1; r[n-1] = sum (-1)^j x[j].
// Backward is the unscaled inverse: backward after forward multiplies by n.

// Four 32-bit fields on 32-bit targets. Every user works on a copy of its own with `work`
// bound to its own array, so concurrent transforms never share a writable record.
struct RealFftConfig {
  int32_t size;            // transform length n
  const float* twiddles;   // FFTPACK twiddle layout for size and factors
  const int32_t* factors;  // n, factor count, the factors in backward order
  float* work;             // n writable floats, not overlapping the data; set before use
};

static_assert(sizeof(void*) != 4 || sizeof(RealFftConfig) == 16,
              "the record is four 32-bit fields on 32-bit targets");

// {256, TwiddleTable, FactorTable, null}: copy it and set `work` before transforming.
extern const RealFftConfig kRealFftConfig256;

// Transform 256 floats of data in place with the factors 4, 4, 4, 4 and config->twiddles;
// config->work is overwritten with intermediate values. A config of any other size leaves
// data and work alone, which for a size of 1 is the transform.
void RealFftForward(const RealFftConfig* config, float* data);
void RealFftBackward(const RealFftConfig* config, float* data);
