#include "context/utterance_times.h"

#include <cstdint>

float UtteranceBeginTime(int64_t samplesDone, int32_t framesBack, int32_t frameSize8k) {
  // Exact in 64 bits, and exact again as a double for any stream shorter than 2^53 samples.
  const int64_t beginSample = samplesDone - int64_t(framesBack) * frameSize8k;
  return float(double(beginSample) / 8000.0);
}

float UtteranceEndTime(int64_t samplesDone, float beginTime) {
  const float endTime = float(double(samplesDone) / 8000.0);
  // Both times as stored, widened to double: the float values decide, equality included.
  if (double(endTime) >= double(beginTime) + 1.0) return float(double(endTime) - 0.5);
  return endTime;
}

int32_t InputSamplesAt(int32_t inputRate, float time) {
  if (time < 0.0f) return -1;
  const double samples = double(inputRate) * double(time);
  // Converting a double beyond the int32 range is undefined; very long streams saturate.
  if (samples >= 2147483647.0) return INT32_MAX;
  return int32_t(samples);
}
