// Recordings for the command-line tests written with libsndfile, so that the tests read real
// files the way users' files are read.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>
#include <vector>

namespace test_audio {

// Writes interleaved 16-bit samples; `format` e.g. SF_FORMAT_WAV | SF_FORMAT_PCM_16.
inline bool WriteFile(const std::string& path, int rate, int channels,
                      const std::vector<int16_t>& interleaved,
                      int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  const sf_count_t frames = sf_count_t(interleaved.size()) / channels;
  const bool ok = sf_writef_short(file, interleaved.data(), frames) == frames;
  return sf_close(file) == 0 && ok;
}

// Writes normalised doubles as 32-bit float samples, unscaled.
inline bool WriteFloatFile(const std::string& path, int rate, const std::vector<double>& samples) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  const sf_count_t frames = sf_count_t(samples.size());
  const bool ok = sf_writef_double(file, samples.data(), frames) == frames;
  return sf_close(file) == 0 && ok;
}

}  // namespace test_audio
