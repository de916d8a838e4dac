#include "pitch/periodicity_internal.h"

int32_t FindLobePeaks(const float* values, int32_t count, int32_t lagLimit, int32_t* lags,
                      int32_t maxLags) {
  const int32_t last = count - 1;
  // A limit beyond the array would walk off its end.
  const int32_t limit = lagLimit < count ? lagLimit : count;

  // Over the lobe around lag 0, then over the gap behind it.
  int32_t i = 0;
  while (i < limit && values[i] > 0.0f) ++i;
  while (i < last && values[i] <= 0.0f) ++i;
  if (i == 0) i = 1;
  if (i >= last) return 0;

  int32_t best = 0;  // 0: no peak in the current lobe yet
  int32_t n = 0;
  while (i < last) {
    // Strict on the left, not on the right: a plateau counts at its first lag, and equal
    // maxima within one lobe keep the earlier lag.
    if (values[i - 1] < values[i] && values[i + 1] <= values[i] &&
        (best == 0 || values[i] > values[best])) {
      best = i;
    }
    ++i;
    if (i >= last) break;
    if (values[i] > 0.0f) continue;

    if (best > 0) {
      lags[n++] = best;
      if (n >= maxLags) return n;
      best = 0;
    }
    while (i < last && values[i] <= 0.0f) ++i;
  }
  // A lobe cut off by the end of the array still counts.
  if (best > 0) lags[n++] = best;
  return n;
}

PeakCandidate InterpolatePeak(const float* values, int32_t /*count*/, int32_t lag) {
  const float left = values[lag - 1];
  const float mid = values[lag];
  const float right = values[lag + 1];
  const float curvature = float((double(left) + right) - 2.0 * mid);
  const float slope = float(double(left) - right);
  if (curvature == 0.0f) return PeakCandidate{float(lag), mid};
  return PeakCandidate{float(lag + double(slope) / (2.0 * curvature)),
                       float(mid - double(slope) * slope / (8.0 * curvature))};
}
