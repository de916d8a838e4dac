// Walks a stream of 16-bit little-endian mono audio, arriving in pieces of any size, into the
// utterances that `tessel analyze` finds in the same audio: whole frames pushed through the C
// API one at a time, begin and end read after every push and followed by the command line's
// utterance tracker. A piece that ends inside a frame, even inside a sample, leaves the rest for
// the next piece. Opening sizes the frame once; pushing allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "utterance_tracker.h"

struct FrameFeed {
  void* context = nullptr;
  int32_t sampleRate = 0;
  int32_t frameSize = 0;
  std::vector<int16_t> frame;   // frameSize samples
  size_t pendingBytes = 0;      // of the frame gathered so far
  int64_t samplesPushed = 0;    // since opening or the last reset
  int32_t utterancesEnded = 0;  // since opening or the last reset
  UtteranceTracker tracker;
};

// What one push changed, for the host to report. A begin that changes before any end replaces
// the open utterance's begin, as in `tessel analyze`.
struct FeedChange {
  int32_t utterance = 0;        // 1 for the first since opening or the last reset
  int32_t beginSample = -1;     // counted from opening or the last reset
  int32_t endSample = -1;       // -1 while the end is not known
  int64_t decidedAtSample = 0;  // the samples pushed when the change was read
};

// Opens a context for this rate and frame size with the detector's threshold. Returns an empty
// string, or why the library refused. A feed already open is closed first.
std::string FrameFeed_Open(FrameFeed& feed, int32_t sampleRate, int32_t frameSize,
                           int32_t threshold);

// Takes effect from the next frame analysed.
void FrameFeed_SetThreshold(FrameFeed& feed, int32_t threshold);

// Forgets the stream: positions count again from the next byte pushed.
void FrameFeed_Reset(FrameFeed& feed);

void FrameFeed_Close(FrameFeed& feed);

// Pushes every whole frame that `bytes` completes, keeping what is left over; calls
// onChange(const FeedChange&) after each push that changed the begin or the end.
template <class OnChange>
void FrameFeed_Push(FrameFeed& feed, const uint8_t* bytes, size_t size, OnChange&& onChange);

// The frame gathered in feed.frame is complete: pushes it and reads the utterance back.
bool FrameFeed_PushFrame(FrameFeed& feed, FeedChange& change);

// Copies up to a frame's worth of bytes into the frame; returns how many were taken.
size_t FrameFeed_Gather(FrameFeed& feed, const uint8_t* bytes, size_t size);

template <class OnChange>
void FrameFeed_Push(FrameFeed& feed, const uint8_t* bytes, size_t size, OnChange&& onChange) {
  const size_t frameBytes = size_t(feed.frameSize) * sizeof(int16_t);
  while (size > 0) {
    const size_t taken = FrameFeed_Gather(feed, bytes, size);
    bytes += taken;
    size -= taken;
    if (feed.pendingBytes < frameBytes) return;
    FeedChange change;
    if (FrameFeed_PushFrame(feed, change)) onChange(change);
  }
}
