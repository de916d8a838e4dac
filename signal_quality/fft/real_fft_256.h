#pragma once

// The 256-point transforms with the factors 4, 4, 4, 4, the only ones the library runs: four
// radix-4 passes with the intermediate arrays ordered so that each pass runs over the
// sequences k in contiguous memory, which the compiler vectorises. The results are bit for bit
// those of the same statements over arrays in the plain order (the fft tests' reference); the
// work array ends up holding other intermediate values.
//
// data: 256 floats, transformed in place. work: 256 floats, not overlapping data.
// twiddles: the twiddle layout for 256 = 4 * 4 * 4 * 4 (TwiddleTable or one laid out alike).

void Forward256(float* data, float* work, const float* twiddles);
void Backward256(float* data, float* work, const float* twiddles);
