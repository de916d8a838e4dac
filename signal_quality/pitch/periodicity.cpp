#include "pitch/periodicity.h"

#include "pitch/periodicity_internal.h"

namespace {

constexpr int32_t kMostPeakLags = 10;
constexpr int32_t kLowestPitchHz = 50;

}  // namespace

float DecidePitch(const float* values, int32_t rate, float* peakValue) {
  int32_t lags[kMostPeakLags];
  PeakCandidate candidates[kMostPeakLags];
  const int32_t n = FindLobePeaks(values, rate / kLowestPitchHz, lags, kMostPeakLags);

  float maximum = -1.0e30f;
  int32_t m = 0;
  for (int32_t k = 0; k < n; ++k) {
    const int32_t lag = lags[k];
    if (values[lag] > maximum) maximum = values[lag];
    if (values[lag] > 0.5f) {
      candidates[m] = InterpolatePeak(values, lag);
      if (candidates[m].value > maximum) maximum = candidates[m].value;
      ++m;
    }
  }
  if (n <= 0 || m <= 0) return -1.0f;

  // 0.93 as a float, the product in double.
  const float threshold = float(double(maximum) * double(0.93f));
  int32_t chosen = 0;
  while (chosen < m && !(candidates[chosen].value >= threshold)) ++chosen;
  if (chosen == m) return -1.0f;

  // Reported before the range test: a rejected pitch still leaves its peak's height.
  if (peakValue != nullptr) *peakValue = candidates[chosen].value;
  const float pitch = float(double(rate) / double(candidates[chosen].position));
  return (pitch > 50.0f && pitch < 500.0f) ? pitch : -1.0f;
}

float EstimatePitch(const int16_t* window, int32_t count, int32_t rate, float* peakValue,
                    float* energy, void* work) {
  if (peakValue != nullptr) *peakValue = 0.0f;
  if (energy != nullptr) *energy = 0.0f;
  // Only full windows are analysed; anything else would read values never written.
  if (count != kPeriodicityWindowLength) return -1.0f;

  PeriodicityWork* area = static_cast<PeriodicityWork*>(AlignToFloat(work));
  const float e = NormalizedAutocorrelation(window, area->values, &area->transform);
  if (energy != nullptr) *energy = e;
  return DecidePitch(area->values, rate, peakValue);
}
