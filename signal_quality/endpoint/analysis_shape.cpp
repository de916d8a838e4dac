#include "endpoint/analysis_shape.h"

// The smallest power of two 2^k >= x (k >= 0): 1 for any x <= 1, -1 above 2^30 where no
// int32 power of two is large enough.
static int32_t NextPowerOfTwo(int32_t x) {
  constexpr int32_t kLargest = int32_t{1} << 30;
  if (x > kLargest) return -1;
  int32_t power = 1;
  while (power < x) power <<= 1;
  return power;
}

AnalysisShape ComputeAnalysisShape(int32_t rate, int32_t frameLength) {
  AnalysisShape shape{};
  shape.windowSpan = NextPowerOfTwo(rate * 1024 / 16000);
  shape.analysisRate = rate;
  shape.analysisFrame = frameLength;
  shape.analysisSpan = shape.windowSpan;
  while (shape.analysisRate > kAnalysisRateLimit) {
    shape.analysisRate >>= 1;
    shape.analysisFrame >>= 1;
    shape.analysisSpan >>= 1;
    ++shape.stages;
  }
  return shape;
}
