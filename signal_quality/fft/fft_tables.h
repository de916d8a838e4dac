#pragma once

#include <cstdint>

// Constant factorisation and twiddle factors of the 256-point transform, laid out as
// FFTPACK's RFFTI lays them out for n = 256 = 4 * 4 * 4 * 4.

inline constexpr int32_t kFactorTableLength = 32;
inline constexpr int32_t kTwiddleTableLength = 256;

// [0] = 256, [1] = 4 factors, [2..5] = 4, 4, 4, 4, rest 0.
extern const int32_t FactorTable[kFactorTableLength];

// Cosine/sine pairs of PolyCos rounded to six decimals; each row's last two entries and
// entries 252..255 are 0.
extern const float TwiddleTable[kTwiddleTableLength];
