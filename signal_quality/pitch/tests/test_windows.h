#pragma once

#include <cstdint>
#include <vector>

#include "support/test_signals.h"

// Test windows of 128 samples at 2000 Hz, from the shared makers.

inline std::vector<int16_t> SineWindow(double frequencyHz, double amplitude, double phase = 0.3) {
  return test_signals::Tone(128, frequencyHz, amplitude, 2000, phase);
}

// Deterministic values in [-amplitude, amplitude].
inline std::vector<int16_t> NoiseWindow(uint32_t seed, int32_t amplitude) {
  return test_signals::UniformNoise(128, amplitude, seed);
}
