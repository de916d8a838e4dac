#pragma once

#include <cstdint>
#include <span>

// 256-point single-precision real FFT in the mixed-radix scheme of FFTPACK's RFFTF/RFFTB with
// the factors 4, 4, 4, 4.
//
// Forward, in place, unscaled: r[0] = sum x[j]; r[2k-1] = sum x[j] cos(2 pi j k / n) and
// r[2k] = -sum x[j] sin(2 pi j k / n) for k = 1 .. n/2 - 1; r[n-1] = sum (-1)^j x[j].
// Backward is the unscaled inverse: backward after forward multiplies by n.
//
// Four radix-4 passes with the intermediate arrays ordered so that every statement runs for
// four butterflies at once, in the lanes of one register. The results are bit for bit those of
// the same statements over arrays in the plain order (the fft tests' reference); the work array
// ends up holding other intermediate values.
//
// data: 256 floats, transformed in place. work: 256 floats, not overlapping data.
// twiddles: the twiddle layout for 256 = 4 * 4 * 4 * 4 (TwiddleTable or one laid out alike).

void Forward256(float* data, float* work, const float* twiddles);
void Backward256(float* data, float* work, const float* twiddles);

// The autocorrelation route of the periodicity test in one call: the 128 samples of window as
// floats with 128 zeros after them, Forward256; in every bin k of the half-complex result,
// real part float(re * re + im * im) * (1/256) with the squares and the sum in double, and
// imaginary part 0 (for the DC and Nyquist bins float(v * v) * (1/256)); Backward256; its first
// 128 values into lags. Bit for bit that sequence with TwiddleTable, with fewer passes over
// memory. work: 512 floats, not overlapping lags.
void Autocorrelation256(const int16_t* window, float* lags, float* work);

// One way of computing the three, for one instruction set (simd_choice.h): every form gives the
// same bits.
struct Transform256Form {
  const char* instructionSet;
  void (*forward)(float* data, float* work, const float* twiddles);
  void (*backward)(float* data, float* work, const float* twiddles);
  void (*autocorrelation)(const int16_t* window, float* lags, float* work);
};

// The forms of this build that this processor runs: first the one every processor of the
// build's target runs (SSE2, or plain C++), then AVX2 where the build has it and the processor
// too. The functions above take the last.
std::span<const Transform256Form> RunnableTransformForms();
