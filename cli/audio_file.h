// Reading one channel of a recording as 16-bit samples, whatever the file holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Recording {
  std::vector<int16_t> samples;  // the chosen channel only
  int32_t sampleRate = 0;
  int32_t channels = 0;
  std::string
      format;  // for people: container and encoding, e.g. "WAV (Microsoft), Signed 16 bit PCM"
  std::string warning;  // one line when the file is not what its header says; empty otherwise
};

// Reads channel `channel` (0-based) of the file at `path` into `recording`. Returns an empty
// string on success, otherwise a one-line reason without the file name (and no samples). Memory
// grows with the samples actually read, whatever length the header declares; a failed allocation
// throws std::bad_alloc.
std::string ReadRecording(const std::string& path, int channel, Recording& recording);

// The same for a whole file held in memory.
std::string ReadRecordingFromMemory(const void* bytes, size_t size, int channel,
                                    Recording& recording);

// One normalised sample in [-1, 1) to 16 bits: scaled by 32768, rounded to nearest, saturated.
// 16-bit sources come back exactly as stored.
int16_t ToSample16(double normalised);
