#include "frame_size.h"

#include <algorithm>
#include <iterator>

#include <tessel.h>

bool IsSupportedRate(int32_t sampleRate) {
  return std::find(std::begin(kSupportedRates), std::end(kSupportedRates), sampleRate) !=
         std::end(kSupportedRates);
}

std::string SupportedRatesText() {
  std::string text;
  for (int32_t rate : kSupportedRates) {
    if (!text.empty()) text += ", ";
    text += std::to_string(rate);
  }
  return text;
}

// The library alone decides which frame sizes a context takes, so ask it rather than restate it.
bool IsValidFrameSize(int32_t sampleRate, int32_t frameSize) {
  void* context = Tessel_Init(sampleRate, frameSize);
  if (context == nullptr) return false;
  Tessel_Release(context);
  return true;
}

int32_t FrameSizeForMs(int32_t sampleRate, int frameMs) {
  if (frameMs == 20) {
    for (int32_t size = sampleRate / 50; size >= sampleRate / 100; --size) {
      if (IsValidFrameSize(sampleRate, size)) return size;
    }
  } else if (frameMs == 10) {
    for (int32_t size = sampleRate / 100; size <= sampleRate / 50; ++size) {
      if (IsValidFrameSize(sampleRate, size)) return size;
    }
  }
  return 0;
}

std::string FrameSizeRule(int32_t sampleRate) {
  return "at " + std::to_string(sampleRate) + " Hz a frame size must be even, between " +
         std::to_string(sampleRate / 100) + " and " + std::to_string(sampleRate / 50) +
         ", and make an 8 kHz frame that is a multiple of 4 samples";
}
