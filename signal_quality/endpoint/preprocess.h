// Integer pre-processing of each frame before the periodicity analysis.
#pragma once

#include <cstdint>

// Low-pass [1/4, 1/2, 1/4] and decimation by two of count (even) samples into count / 2.
// *carried is a quarter of the previous frame's last odd-numbered sample on entry, and of
// this frame's on return. output may be input itself (the stage runs in place).
void HalveRate(const int16_t* input, int32_t count, int16_t* output, int16_t* carried);

// First-order DC blocker y[n] = x[n] - x[n-1] + (998/1024) y[n-1], in place on count
// samples. *prevInput (1024 times the last input) and *prevOutput (the last output at full
// width) carry the state across calls; each sample keeps the low 16 bits of its output.
void RemoveDc(int16_t* samples, int32_t count, int32_t* prevInput, int32_t* prevOutput);
