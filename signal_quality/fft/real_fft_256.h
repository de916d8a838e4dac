#pragma once

#include <cstdint>

// The 256-point transforms with the factors 4, 4, 4, 4, the only ones the library runs: four
// radix-4 passes with the intermediate arrays ordered so that every statement runs for four
// butterflies at once, in the lanes of one register. The results are bit for bit those of the
// same statements over arrays in the plain order (the fft tests' reference); the work array
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

// The same transforms, the twiddle products and the sqrt(2) columns in double two lanes at a
// time with SSE2 (what every build runs), or four at a time with AVX2, which only a processor
// for which ProcessorHasAvx2() is true may run. Both give the same bits; Forward256 and
// Backward256 take the AVX2 ones where they can.
void Forward256Sse2(float* data, float* work, const float* twiddles);
void Backward256Sse2(float* data, float* work, const float* twiddles);
void Forward256Avx2(float* data, float* work, const float* twiddles);
void Backward256Avx2(float* data, float* work, const float* twiddles);
void Autocorrelation256Sse2(const int16_t* window, float* lags, float* work);
void Autocorrelation256Avx2(const int16_t* window, float* lags, float* work);
bool ProcessorHasAvx2();
