#include "endpoint/level_tracking.h"

#include "endpoint/endpoint_detector.h"

int32_t AdaptiveThreshold(int32_t peak, int32_t floor) {
  const int32_t gap = (peak - floor) * 256 / peak;
  if (gap >= 166) return ((256 - gap) * peak + gap * floor) >> 8;
  return (peak * 281) >> 8;
}

namespace {
// 255/256 of the old level plus 1/256 of e: the product stays integral, e joins in double
// and the sum is truncated before the shift.
int32_t Decay(int32_t level, float e) { return int32_t(double(255 * level) + double(e)) >> 8; }
}  // namespace

int32_t TrackLevels(EndpointDetector* detector, float e) {
  const int32_t cur = int32_t(e);
  if (detector->peakLevel == 0) {
    detector->peakLevel = cur;
    detector->floorLevel = cur;
  } else {
    detector->peakLevel = Decay(detector->peakLevel, e);
    detector->floorLevel = Decay(detector->floorLevel, e);
    if (detector->peakLevel < cur) detector->peakLevel = cur;
    if (detector->floorLevel > cur) detector->floorLevel = cur;
  }
  int32_t threshold = AdaptiveThreshold(detector->peakLevel, detector->floorLevel);
  if (threshold < detector->minThreshold) threshold = detector->minThreshold;
  if (threshold > kMaxThreshold) threshold = kMaxThreshold;
  detector->threshold = threshold;
  return cur;
}
