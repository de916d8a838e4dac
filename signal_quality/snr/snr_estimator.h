#pragma once

#include <cstdint>

// SNR of a whole recording from the RMS levels of overlapping 256-sample frames.

constexpr int32_t kSnrFrameLength = 256;
constexpr int32_t kSnrFrameHop = 128;

struct SnrEstimate {
  bool hasSpan;          // false: nothing measurable (no frame, no memory, frames all of one
                         // level, or a speech span that would be empty); only speechLevelDb is set
  int32_t spanBegin;     // first sample of the first speech frame
  int32_t spanEnd;       // first sample of the frame after the speech
  double noiseLevelDb;   // dB relative to full scale
  double speechLevelDb;  // dB relative to full scale
};

// 20*log10(32768): the level of a full-scale sample, computed once, safe for concurrent first use.
double FullScaleDb();

// Number of frames: i >= 0 with 128*i + 256 < count.
int32_t SnrFrameCount(int32_t count);

// RMS of the 256 samples starting at frame.
double FrameLevel(const int16_t* frame);

// RMS from a frame's exact sum of squares (what FrameLevel computes, bit for bit).
double FrameLevelFromSumOfSquares(int64_t sumOfSquares);

// Levels of the frames of a recording, clamped to [10, 32000]; frames = SnrFrameCount(count).
void ComputeFrameLevels(const int16_t* samples, int32_t frames, float* levels);

// The estimate from a recording's frame levels (frames > 0).
SnrEstimate EstimateSnrFromLevels(const float* levels, int32_t frames);

SnrEstimate EstimateSnr(const int16_t* samples, int32_t count);
