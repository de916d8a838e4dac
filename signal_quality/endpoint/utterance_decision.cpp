#include "endpoint/utterance_decision.h"

#include <limits>

#include "endpoint/endpoint_detector.h"

bool IsSpeechLike(const EndpointDetector* detector, float pitch, int32_t energy) {
  return IsVoiced(pitch) && energy >= detector->threshold;
}

int32_t BeginTest(EndpointDetector* detector, float pitch, int32_t energy) {
  detector->runLength = IsSpeechLike(detector, pitch, energy) ? detector->runLength + 1 : 0;
  if (detector->runLength == 0) {
    if (detector->preBeginFrames > kPauseFramesKept) detector->preBeginFrames = kPauseFramesKept;
    return 0;
  }
  if (detector->runLength < 2) return 0;
  int32_t lookback = detector->framesSeen - 1;
  if (detector->preBeginFrames < lookback) lookback = detector->preBeginFrames;
  detector->framesSinceBegin = lookback;
  detector->runLength = 0;
  detector->preBeginFrames = 0;
  return detector->framesSeen - lookback;
}

int32_t EndTest(EndpointDetector* detector, float pitch, int32_t energy) {
  detector->runLength = IsSpeechLike(detector, pitch, energy) ? 0 : detector->runLength + 1;
  if (detector->runLength < detector->endHangover) return 0;
  detector->runLength = 0;
  const int64_t frame = int64_t{detector->framesSinceBegin} + detector->beginFrame;
  return frame < std::numeric_limits<int32_t>::max() ? int32_t(frame)
                                                     : std::numeric_limits<int32_t>::max();
}
