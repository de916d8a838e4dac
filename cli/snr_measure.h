// The library's whole-recording estimate, as the command line reports it.
#pragma once

#include <cstdint>
#include <vector>

struct SnrMeasure {
  bool measurable = false;  // false: too short to hold one frame of 256 samples
  bool hasSpan = false;     // false: nothing measurable (the library gave span 0..0, 0.0 dB)
  int32_t spanBegin = 0;    // first sample of the speech span
  int32_t spanEnd = 0;      // first sample after it
  float snrDb = 0.0f;
};

SnrMeasure MeasureSnr(const std::vector<int16_t>& samples);
