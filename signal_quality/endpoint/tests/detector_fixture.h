// Test helpers: a detector in a suitably aligned work area, and 8 kHz test recordings.
#ifndef TESSEL_ENDPOINT_TESTS_DETECTOR_FIXTURE_H
#define TESSEL_ENDPOINT_TESTS_DETECTOR_FIXTURE_H

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "endpoint/endpoint_detector.h"

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

// A voiced vowel-like sound: fundamental plus two weaker harmonics, loud enough that the
// detector's energy saturates.
inline Recording Voiced(int32_t frames, double pitchHz, int32_t frameLength = 160,
                        double amplitude = 8000.0, int32_t rate = 8000) {
  Recording samples(size_t(frames) * size_t(frameLength));
  const double step = 2.0 * 3.14159265358979323846 * pitchHz / rate;
  for (size_t i = 0; i < samples.size(); ++i) {
    const double t = step * double(i);
    samples[i] = int16_t(std::lround(amplitude * (std::sin(t) + 0.5 * std::sin(2.0 * t + 0.4) +
                                                  0.25 * std::sin(3.0 * t + 1.1))));
  }
  return samples;
}

// A pure tone.
inline Recording Tone(int32_t frames, double hz, double amplitude, int32_t frameLength = 160) {
  Recording samples(size_t(frames) * size_t(frameLength));
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = int16_t(
        std::lround(amplitude * std::sin(2.0 * 3.14159265358979323846 * hz * double(i) / 8000.0)));
  }
  return samples;
}

// Quiet white noise from a fixed-seed generator, uniform in -amplitude ... amplitude.
inline Recording Noise(int32_t frames, int32_t amplitude = 40, uint32_t seed = 12345,
                       int32_t frameLength = 160) {
  Recording samples(size_t(frames) * size_t(frameLength));
  uint32_t state = seed;
  for (auto& sample : samples) {
    state = state * 1664525u + 1013904223u;
    sample = int16_t(int32_t(state >> 16) % (2 * amplitude + 1) - amplitude);
  }
  return samples;
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

#endif  // TESSEL_ENDPOINT_TESTS_DETECTOR_FIXTURE_H
