// Keeps the most recent audio of a live capture so that each utterance, once its end is known,
// can be written out as a 16-bit WAV file. Memory is taken once, up front: the per-frame path
// copies samples into a ring and allocates nothing.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// The longest stretch of an utterance that is saved: a longer one keeps its last this many
// seconds (and says so). With the slack for the detector's delays, the ring holds
// kSaveLimitSeconds + kRingSlackSeconds of audio.
constexpr int32_t kSaveLimitSeconds = 60;
constexpr int32_t kRingSlackSeconds = 5;

struct UtteranceSaver {
  std::string folder;
  int32_t sampleRate = 0;
  std::vector<int16_t> ring;
  int64_t samplesPushed = 0;  // every sample ever pushed; ring[i % size] holds sample i
  std::string wav;            // the file being written; its capacity is taken up front
};

// Checks that `folder` is a writable directory and takes the memory. Returns an empty string or
// the reason. A failed allocation throws std::bad_alloc.
std::string UtteranceSaver_Init(UtteranceSaver& saver, const std::string& folder,
                                int32_t sampleRate);

// Keeps `count` more samples.
void UtteranceSaver_Push(UtteranceSaver& saver, const int16_t* samples, int32_t count);

struct SavedUtterance {
  std::string path;       // empty when nothing was written
  std::string error;      // why not; empty on success
  int64_t savedFrom = 0;  // the first sample in the file: the begin, or later when cut short
};

// Writes samples [begin, end) as `folder`/YYYYMMDD-HHMMSS-NNNN.wav (the local time of the begin,
// the utterance's number) through a temporary file that is renamed once complete.
SavedUtterance UtteranceSaver_Save(UtteranceSaver& saver, int64_t begin, int64_t end, int number,
                                   std::time_t beginTime);
