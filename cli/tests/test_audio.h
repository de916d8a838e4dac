// Recordings for the command-line tests written with libsndfile, so that the tests read real
// files the way users' files are read.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

namespace test_audio {

// Writes interleaved samples, 16-bit ones as they are and doubles unscaled (1.0 is full scale);
// `format` e.g. SF_FORMAT_WAV | SF_FORMAT_PCM_16.
template <typename Sample>
bool WriteFile(const std::string& path, int rate, int channels,
               const std::vector<Sample>& interleaved,
               int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  const sf_count_t frames = sf_count_t(interleaved.size()) / channels;
  sf_count_t written;
  if constexpr (std::is_same_v<Sample, double>) {
    written = sf_writef_double(file, interleaved.data(), frames);
  } else {
    written = sf_writef_short(file, interleaved.data(), frames);
  }
  return sf_close(file) == 0 && written == frames;
}

}  // namespace test_audio
