#pragma once

#include <cstdint>

#include "pitch/periodicity.h"

// The steps of EstimatePitch, exposed for the pitch tests.

inline constexpr int32_t kTransformLength = 256;

// What WindowAutocorrelation needs: the transform's work array, then its data, which it uses
// as one array of 512 floats.
struct AutocorrelationWork {
  float fftWork[kTransformLength];
  float data[kTransformLength];
};

static_assert(sizeof(AutocorrelationWork) == 2 * kTransformLength * sizeof(float),
              "the two arrays follow each other");

// The layout of the caller's area after aligning its start.
struct PeriodicityWork {
  float values[kPeriodicityWindowLength];  // normalised autocorrelation, lags 0..127
  AutocorrelationWork transform;
};

static_assert(sizeof(PeriodicityWork) == 2560, "640 floats");
static_assert(sizeof(PeriodicityWork) + 3 <= kPeriodicityWorkBytes, "room for the alignment");

// address + ((-address) & 3): the first multiple of 4 bytes at or after work. The callers'
// areas come from inside larger blocks and need not be aligned for floats.
inline void* AlignToFloat(void* work) {
  const uintptr_t address = reinterpret_cast<uintptr_t>(work);
  return static_cast<char*>(work) + ((uintptr_t(0) - address) & 3u);
}

struct PeakCandidate {
  float position;  // fractional lag in samples
  float value;     // interpolated height of the normalised autocorrelation
};

// The steps below work on the 128 samples of a window and the 128 lags of its autocorrelation.

// Raw autocorrelation of the window, lags 0..127, into out: forward transform of the
// zero-filled window, power spectrum scaled by 1/256, backward transform.
void WindowAutocorrelation(const int16_t* window, float* out, AutocorrelationWork* work);

// Fills values with the autocorrelation divided by its lag-0 value (values[0] becomes 1 in any
// case) and returns the mean energy r[0] / 128.
float NormalizedAutocorrelation(const int16_t* window, float* values, AutocorrelationWork* work);

// For each positive lobe after the first, the lag of its highest local maximum (strictly
// higher than its left neighbour, at least as high as its right one), in increasing order, at
// most maxLags of them. The walk over the first lobe stops at lagLimit (clamped to 128).
int32_t FindLobePeaks(const float* values, int32_t lagLimit, int32_t* lags, int32_t maxLags);

// Parabola through values[lag - 1 .. lag + 1]; requires 1 <= lag <= 126.
PeakCandidate InterpolatePeak(const float* values, int32_t lag);

// The decision on a normalised autocorrelation: pitch in Hz or -1.0. Writes the chosen
// peak's height to peakValue when it is not null (leaves it alone when no peak is chosen).
float DecidePitch(const float* values, int32_t rate, float* peakValue);
