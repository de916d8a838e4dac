#pragma once

#include <cstdint>

// Periodicity test of one 128-sample window: autocorrelation through the 256-point real
// FFT, one peak per positive lobe, and the pitch of the shortest-lag peak within 7 % of the
// strongest one. Nothing is kept between calls and nothing is allocated; the caller owns
// the work area.

inline constexpr int32_t kPeriodicityWindowLength = 128;

// The work area as the detector reserves it: 640 floats after rounding the start up to a
// multiple of 4 bytes, plus slack for that rounding.
inline constexpr int32_t kPeriodicityWorkBytes = 2588;

// Pitch of the window in Hz (strictly between 50 and 500), or -1.0 when none is found.
//   window:    count signed 16-bit samples; count must be 128 (any other count gives -1.0,
//              zero outputs, and leaves work untouched).
//   rate:      the window's sampling rate in Hz.
//   peakValue: may be null; receives the chosen peak's normalised height, also when its
//              pitch is out of range, or 0 when no peak was chosen.
//   energy:    may be null; receives the mean energy per sample r[0] / count (0 when count
//              is refused).
//   work:      kPeriodicityWorkBytes bytes, any alignment.
// Concurrent calls are safe as long as each has its own work area.
float EstimatePitch(const int16_t* window, int32_t count, int32_t rate, float* peakValue,
                    float* energy, void* work);
