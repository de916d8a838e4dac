#pragma once

#include <cstdint>

// The radix-4 passes of FFTPACK (RADF4, RADB4). A pass transforms l1 sequences of 4 * ido
// values from cc into ch; wa1, wa2, wa3 are the twiddle rows m = 1, 2, 3 (ido - 1 floats
// each, unused when ido = 1).
//
// Forward reads (i, k, m) at cc[i + ido * (k + l1 * m)] and writes (i, m, k) at
// ch[i + ido * (m + 4 * k)]; backward reads and writes the two layouts the other way round.

void ForwardRadix4(int32_t ido, int32_t l1, const float* cc, float* ch, const float* wa1,
                   const float* wa2, const float* wa3);
void BackwardRadix4(int32_t ido, int32_t l1, const float* cc, float* ch, const float* wa1,
                    const float* wa2, const float* wa3);
