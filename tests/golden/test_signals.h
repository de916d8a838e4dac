#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Deterministic test recordings built from integer arithmetic only, so that every build
// (Linux, 32-bit and 64-bit Windows) feeds the library exactly the same samples.

struct TestRecording {
  std::string name;
  std::vector<int16_t> samples;
};

// A small linear congruential generator: the same sequence on every platform.
struct TestNoise {
  uint32_t state;
  int32_t Uniform(int32_t amplitude);  // in [-amplitude, amplitude]
  int32_t Bell(int32_t amplitude);     // sum of four uniforms: roughly Gaussian
};

int16_t SaturateToInt16(int64_t value);

// Recordings that exercise the SNR estimator: silence, bursts, noise at several levels,
// the frame-count boundaries and full-scale clipping.
std::vector<TestRecording> SnrTestRecordings();
