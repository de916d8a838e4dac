// Test helpers: a detector in a suitably aligned work area, and 8 kHz test recordings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "endpoint/endpoint_detector.h"
#include "support/test_signals.h"

// Work area aligned for any record, as malloc gives it.
struct DetectorArea {
  std::vector<std::max_align_t> storage;
  EndpointDetector* detector = nullptr;
  int32_t error = 0;

  DetectorArea(int32_t rate, int32_t frameLength) {
    const int32_t size = EndpointDetector_WorkSize(rate, frameLength);
    storage.resize(size_t(size) / sizeof(std::max_align_t) + 1);
    detector = EndpointDetector_Init(rate, frameLength, storage.data(), size, &error);
  }
};

using Recording = std::vector<int16_t>;

// Recordings counted in detector frames, from the shared makers.

// A voiced vowel-like sound: fundamental plus two weaker harmonics, loud enough that the
// detector's energy saturates.
inline Recording Voiced(int32_t frames, double pitchHz, int32_t frameLength = 160,
                        double amplitude = 8000.0, int32_t rate = 8000) {
  return test_signals::Harmonics(size_t(frames) * size_t(frameLength), pitchHz, amplitude, rate);
}

// Quiet white noise from a fixed-seed generator, uniform in -amplitude ... amplitude.
inline Recording Noise(int32_t frames, int32_t amplitude = 40, uint32_t seed = 12345,
                       int32_t frameLength = 160) {
  return test_signals::UniformNoise(size_t(frames) * size_t(frameLength), amplitude, seed, 16);
}

inline Recording operator+(Recording first, const Recording& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// Steps the detector over every whole frame of the recording; returns the step results.
inline std::vector<int32_t> StepAll(EndpointDetector* detector, const Recording& samples) {
  std::vector<int32_t> results;
  const size_t frameLength = size_t(detector->frameLength);
  for (size_t at = 0; at + frameLength <= samples.size(); at += frameLength) {
    results.push_back(EndpointDetector_Step(detector, samples.data() + at));
  }
  return results;
}
