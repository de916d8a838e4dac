#pragma once

#include <cstdint>

// Scalar K-means quantiser that splits training values into a low and a high class.

// Builds a two-codeword codebook by splitting the mean of all values (x1.2 and x0.8) and
// refining it. Returns 2; -1 when count <= 0 (nothing written) or when the refinement's
// scratch memory cannot be obtained.
int32_t ModifiedKMeanVQ(const float* values, int32_t count, float* codebook, int32_t* counts);

// Refines a codebook of codewordCount entries by nearest-codeword assignment and
// re-averaging, at most ten passes. Writes the last pass's distortion (measured before
// its re-averaging) and per-codeword counts. Returns codewordCount, or -1 when its scratch
// sums cannot be obtained (codebook unchanged).
int32_t KMeanIteration(float* codebook, int32_t codewordCount, const float* values, int32_t count,
                       double* distortion, int32_t* counts);
