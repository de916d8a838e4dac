#include "frame_feed.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include <tessel.h>

std::string FrameFeed_Open(FrameFeed& feed, int32_t sampleRate, int32_t frameSize,
                           int32_t threshold) {
  FrameFeed_Close(feed);
  void* context = Tessel_Init(sampleRate, frameSize);
  if (context == nullptr) {
    return "the library refused a context for " + std::to_string(sampleRate) +
           " Hz with frames of " + std::to_string(frameSize) + " samples";
  }
  feed.frame.assign(size_t(frameSize), 0);
  feed.context = context;
  feed.sampleRate = sampleRate;
  feed.frameSize = frameSize;
  Tessel_SetVADThreshold(context, threshold);
  FrameFeed_Reset(feed);
  return {};
}

void FrameFeed_SetThreshold(FrameFeed& feed, int32_t threshold) {
  if (feed.context != nullptr) Tessel_SetVADThreshold(feed.context, threshold);
}

void FrameFeed_Reset(FrameFeed& feed) {
  if (feed.context != nullptr) Tessel_Reset(feed.context);
  feed.pendingBytes = 0;
  feed.samplesPushed = 0;
  feed.utterancesEnded = 0;
  feed.tracker = UtteranceTracker{};
}

void FrameFeed_Close(FrameFeed& feed) {
  if (feed.context != nullptr) Tessel_Release(feed.context);
  feed.context = nullptr;
  feed.frameSize = 0;
  feed.pendingBytes = 0;
}

size_t FrameFeed_Gather(FrameFeed& feed, const uint8_t* bytes, size_t size) {
  const size_t frameBytes = feed.frame.size() * sizeof(int16_t);
  const size_t taken = std::min(size, frameBytes - feed.pendingBytes);
  std::memcpy(reinterpret_cast<uint8_t*>(feed.frame.data()) + feed.pendingBytes, bytes, taken);
  feed.pendingBytes += taken;
  return taken;
}

bool FrameFeed_PushFrame(FrameFeed& feed, FeedChange& change) {
  // The stream's samples are little-endian whatever the machine.
  if constexpr (std::endian::native == std::endian::big) {
    for (int16_t& sample : feed.frame) {
      const uint16_t bits = uint16_t(sample);
      sample = int16_t(uint16_t(bits >> 8 | bits << 8));
    }
  }
  Tessel_AddSample(feed.context, feed.frame.data());
  feed.pendingBytes = 0;
  feed.samplesPushed += feed.frameSize;
  int32_t begin = -1;
  int32_t end = -1;
  Tessel_GetUttrEPD(feed.context, &begin, &end);
  const UtteranceChange step = UtteranceTracker_Step(feed.tracker, begin, end);
  if (!step.began && !step.ended) return false;
  change.utterance = feed.utterancesEnded + 1;
  if (step.ended) ++feed.utterancesEnded;
  change.beginSample = begin;
  change.endSample = step.ended ? end : -1;
  change.decidedAtSample = feed.samplesPushed;
  return true;
}
