#include "support/test_signals.h"

#include <cmath>
#include <numbers>

#include "support/seeded_random.h"

namespace test_signals {

int16_t SaturateToInt16(int64_t value) {
  if (value > 32767) return 32767;
  if (value < -32768) return -32768;
  return static_cast<int16_t>(value);
}

int16_t TruncateToInt16(double value) {
  if (value > 32767.0) return 32767;
  if (value < -32768.0) return -32768;
  return static_cast<int16_t>(value);
}

std::vector<int16_t> UniformNoise(size_t count, int32_t amplitude, uint32_t seed, int32_t bits) {
  SeededRandom random(seed);
  std::vector<int16_t> samples(count);
  for (int16_t& s : samples) s = static_cast<int16_t>(random.Uniform(amplitude, bits));
  return samples;
}

std::vector<int16_t> BellNoise(size_t count, int32_t amplitude, uint32_t seed) {
  SeededRandom random(seed);
  std::vector<int16_t> samples(count);
  for (int16_t& s : samples) s = SaturateToInt16(random.Bell(amplitude));
  return samples;
}

std::vector<int16_t> Tone(size_t count, double hz, double amplitude, int32_t rate, double phase) {
  std::vector<int16_t> samples(count);
  for (size_t i = 0; i < count; ++i) {
    const double angle = 2.0 * std::numbers::pi * hz * double(i) / rate + phase;
    samples[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(angle)));
  }
  return samples;
}

std::vector<int16_t> Harmonics(size_t count, double pitchHz, double amplitude, int32_t rate) {
  std::vector<int16_t> samples(count);
  const double step = 2.0 * std::numbers::pi * pitchHz / rate;
  for (size_t i = 0; i < count; ++i) {
    const double t = step * double(i);
    const double wave =
        std::sin(t) + 0.5 * std::sin(2.0 * t + 0.4) + 0.25 * std::sin(3.0 * t + 1.1);
    samples[i] = static_cast<int16_t>(std::lround(amplitude * wave));
  }
  return samples;
}

void SetSquareWave(std::vector<int16_t>& samples, size_t begin, size_t end, size_t halfPeriod,
                   int16_t high, int16_t low) {
  for (size_t i = begin; i < end; ++i) samples[i] = (i / halfPeriod) % 2 == 0 ? high : low;
}

std::vector<int16_t> SquareBurst(size_t count, size_t begin, size_t end, size_t halfPeriod,
                                 int16_t high, int16_t low) {
  std::vector<int16_t> samples(count, 0);
  SetSquareWave(samples, begin, end, halfPeriod, high, low);
  return samples;
}

void AddVoicedBurst(std::vector<int16_t>& samples, size_t begin, size_t end, int32_t period,
                    int32_t amplitude) {
  for (size_t i = begin; i < end && i < samples.size(); ++i) {
    const int32_t phase = static_cast<int32_t>(i % period);
    const int32_t triangle = phase < period / 2 ? phase : period - phase;
    int64_t v = static_cast<int64_t>(amplitude) * (4 * triangle - period) / period;
    if (phase == 0) v += amplitude;
    samples[i] = SaturateToInt16(samples[i] + v);
  }
}

void AddSyllables(std::vector<int16_t>& samples, int32_t rate, double beginSeconds,
                  double endSeconds, double peak) {
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
  for (double start = beginSeconds; start + syllable <= endSeconds + 1e-9;
       start += syllable + gap) {
    const size_t first = size_t(start * rate);
    for (size_t i = 0; i < length && first + i < samples.size(); ++i) {
      samples[first + i] = TruncateToInt16(samples[first + i] + peak * voice[i] / loudest);
    }
  }
}

std::vector<int16_t> SpeechInNoise(int32_t rate, double seconds,
                                   const std::vector<std::pair<double, double>>& speech,
                                   int32_t noiseAmplitude) {
  std::vector<int16_t> samples = UniformNoise(size_t(seconds * rate), noiseAmplitude, 12345, 16);
  for (const auto& [begin, end] : speech) AddSyllables(samples, rate, begin, end);
  return samples;
}

}  // namespace test_signals
