// How a detector's rate and frame length map onto its analysis rate and window.
#pragma once

#include <cstdint>

// Frames are halved until their rate is at most this.
constexpr int32_t kAnalysisRateLimit = 2000;
// Samples in the analysis window.
constexpr int32_t kAnalysisWindow = 128;

struct AnalysisShape {
  int32_t windowSpan;     // window length counted at the frame rate
  int32_t stages;         // halvings down to the analysis rate
  int32_t analysisRate;   // Hz after the halvings
  int32_t analysisFrame;  // frame length after the halvings (f)
  int32_t analysisSpan;   // windowSpan after the halvings; the detector needs 128
};

// For 0 < rate <= 16000 and frameLength >= 0.
AnalysisShape ComputeAnalysisShape(int32_t rate, int32_t frameLength);
