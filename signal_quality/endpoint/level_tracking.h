// The peak and floor level trackers and the adaptive energy threshold derived from them.
#pragma once

#include <cstdint>

struct EndpointDetector;

// Upper clamp of the threshold; it wins over a larger minThreshold.
constexpr int32_t kMaxThreshold = 16384;

// For 1 <= floor <= peak <= 65536: between floor and peak when the floor lies below about
// 35 % of the peak, else 281/256 of the peak.
int32_t AdaptiveThreshold(int32_t peak, int32_t floor);

// Feeds one tracked frame's energy e (already clamped to 1 ... 65536) to the trackers and
// sets the clamped threshold. Returns e truncated, the frame's energy for the decision.
int32_t TrackLevels(EndpointDetector* detector, float e);
