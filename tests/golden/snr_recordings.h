#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tessel.h"

// The recordings behind snr.golden, made with integer arithmetic only, so that every build
// (Linux, 32-bit and 64-bit Windows) feeds the library exactly the same samples.

struct TestRecording {
  std::string name;
  std::vector<int16_t> samples;
};

// Recordings that exercise the SNR estimator: silence, bursts, noise at several levels,
// the frame-count boundaries and full-scale clipping.
std::vector<TestRecording> SnrTestRecordings();

// The fields of an snr.golden line: what getSnr returns and writes, the SNR by its bits.
std::vector<std::string> MeasureSnr(decltype(&Tessel_GetSNR) getSnr,
                                    const std::vector<int16_t>& samples);
