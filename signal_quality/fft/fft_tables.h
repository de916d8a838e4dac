#pragma once

#include <cstdint>

// The twiddle factors of the 256-point transform, laid out as FFTPACK's RFFTI lays them out
// for n = 256 = 4 * 4 * 4 * 4.

inline constexpr int32_t kTwiddleTableLength = 256;

// Cosine/sine pairs of a single-precision polynomial cosine rounded to six decimals; each row's
// last two entries and entries 252..255 are 0.
extern const float TwiddleTable[kTwiddleTableLength];
