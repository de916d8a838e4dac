#pragma once

#include <cstdint>

// Scalar K-means quantiser that splits training values into a low and a high class.

// Builds a two-codeword codebook by splitting the mean of all values (x1.2 and x0.8) and
// refining it. Returns 2; -1 when count <= 0 (nothing written) or when the refinement's
// scratch memory cannot be obtained.
int32_t ModifiedKMeanVQ(const float* values, int32_t count, float* codebook, int32_t* counts);
