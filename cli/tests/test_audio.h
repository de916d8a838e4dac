// Recordings for the command-line tests: a voiced, speech-like signal in noise, written with
// libsndfile so that the tests read real files the way users' files are read.
#pragma once

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace test_audio {

// Deterministic noise, uniform in [-amplitude, amplitude].
inline std::vector<int16_t> Noise(size_t count, int amplitude, uint32_t seed = 12345) {
  std::vector<int16_t> out(count);
  uint32_t state = seed;
  for (auto& s : out) {
    state = state * 1664525u + 1013904223u;
    s = int16_t(int((state >> 16) % uint32_t(2 * amplitude + 1)) - amplitude);
  }
  return out;
}

// Adds syllables between `beginSeconds` and `endSeconds`: glottal pulses at 150 Hz through a
// resonance near 700 Hz about 100 Hz wide, each syllable 200 ms under a raised-cosine
// envelope with its loudest sample at `peak`, 60 ms apart. The same at every rate.
inline void AddVoice(std::vector<int16_t>& samples, int rate, double beginSeconds,
                     double endSeconds, double peak = 8000.0) {
  const double pi = 3.141592653589793;
  const double syllable = 0.2;
  const double gap = 0.06;
  const double r = std::exp(-pi * 100.0 / rate);
  const double theta = 2 * pi * 700.0 / rate;
  const size_t length = size_t(syllable * rate);
  std::vector<double> voice(length);
  double y1 = 0;
  double y2 = 0;
  double loudest = 0;
  for (size_t i = 0; i < length; ++i) {
    const bool pulse = size_t(double(i) * 150.0 / rate) != size_t(double(i + 1) * 150.0 / rate);
    const double y = (pulse ? 1.0 : 0.0) + 2 * r * std::cos(theta) * y1 - r * r * y2;
    y2 = y1;
    y1 = y;
    voice[i] = y * (0.5 - 0.5 * std::cos(2 * pi * double(i) / double(length)));
    loudest = std::fmax(loudest, std::fabs(voice[i]));
  }
  for (double start = beginSeconds; start + syllable <= endSeconds + 1e-9; start += syllable + gap) {
    const size_t first = size_t(start * rate);
    for (size_t i = 0; i < length && first + i < samples.size(); ++i) {
      const double v = samples[first + i] + peak * voice[i] / loudest;
      samples[first + i] = int16_t(std::fmax(-32768.0, std::fmin(32767.0, v)));
    }
  }
}

// A recording with speech between the given times in low noise.
inline std::vector<int16_t> SpeechInNoise(int rate, double seconds,
                                          std::vector<std::pair<double, double>> speech,
                                          int noiseAmplitude = 60) {
  auto samples = Noise(size_t(seconds * rate), noiseAmplitude);
  for (auto [begin, end] : speech) AddVoice(samples, rate, begin, end);
  return samples;
}

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
