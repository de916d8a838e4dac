// The begin and end decisions, one tracked frame at a time.
#pragma once

#include <cstdint>
#include <limits>

struct EndpointDetector;

// Frame counters stop at the largest int32 instead of overflowing (after about 250 days of
// 10 ms frames without a reset).
inline int32_t CountUp(int32_t n) { return n < std::numeric_limits<int32_t>::max() ? n + 1 : n; }

// Frames of a pause kept before a begin, besides the two speech-like frames that declare it.
constexpr int32_t kPauseFramesKept = 30;

// The periodicity half of the speech-like test: a pitch (Hz, or -1) of at least 80. Comparing
// the float with the whole number 80 equals truncating it first, and stays defined for any
// value the analysis might return.
inline bool IsVoiced(float pitch) { return pitch >= 80.0f; }

// A frame is speech-like when it is voiced and its truncated energy reaches the detector's
// threshold.
bool IsSpeechLike(const EndpointDetector* detector, float pitch, int32_t energy);

// While no begin is known: counts speech-like frames; on the second in a row returns the
// begin frame's number (>= 1) and sets framesSinceBegin to the lookback; else 0.
int32_t BeginTest(EndpointDetector* detector, float pitch, int32_t energy);

// After a begin: counts frames that are not speech-like; on the endHangover-th in a row
// returns the current frame's number (> 0); else 0.
int32_t EndTest(EndpointDetector* detector, float pitch, int32_t energy);
