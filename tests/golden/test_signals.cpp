#include "test_signals.h"

namespace {

// Adds a burst of a periodic integer waveform (triangle with a pulse) between two samples.
void AddVoicedBurst(std::vector<int16_t>& samples, size_t begin, size_t end, int32_t period, int32_t amplitude) {
  for (size_t i = begin; i < end && i < samples.size(); ++i) {
    const int32_t phase = static_cast<int32_t>(i % period);
    const int32_t triangle = phase < period / 2 ? phase : period - phase;
    int64_t v = static_cast<int64_t>(amplitude) * (4 * triangle - period) / period;
    if (phase == 0) v += amplitude;
    samples[i] = SaturateToInt16(samples[i] + v);
  }
}

std::vector<int16_t> Noise(size_t count, int32_t amplitude, uint32_t seed) {
  TestNoise noise{seed};
  std::vector<int16_t> samples(count);
  for (auto& s : samples) s = SaturateToInt16(noise.Bell(amplitude));
  return samples;
}

}  // namespace

int32_t TestNoise::Uniform(int32_t amplitude) {
  state = state * 1664525u + 1013904223u;
  const int64_t r = static_cast<int64_t>(state >> 8) % (2 * static_cast<int64_t>(amplitude) + 1);
  return static_cast<int32_t>(r - amplitude);
}

int32_t TestNoise::Bell(int32_t amplitude) {
  return (Uniform(amplitude) + Uniform(amplitude) + Uniform(amplitude) + Uniform(amplitude)) / 2;
}

int16_t SaturateToInt16(int64_t value) {
  if (value > 32767) return 32767;
  if (value < -32768) return -32768;
  return static_cast<int16_t>(value);
}

std::vector<TestRecording> SnrTestRecordings() {
  std::vector<TestRecording> recordings;

  std::vector<int16_t> burst(8000, 0);
  for (int i = 2000; i < 6000; ++i) burst[i] = (i % 2 == 0) ? 1000 : -1000;
  recordings.push_back({"burst_8000", burst});

  for (size_t count : {0u, 256u, 257u, 384u, 385u, 4000u}) {
    recordings.push_back({"silence_" + std::to_string(count), std::vector<int16_t>(count, 0)});
  }
  recordings.push_back({"constant_11", std::vector<int16_t>(3000, 11)});

  const int32_t noiseLevels[] = {3, 40, 300, 2500};
  const int32_t speechLevels[] = {200, 2000, 12000, 40000};
  uint32_t seed = 1;
  for (int32_t noiseLevel : noiseLevels) {
    for (int32_t speechLevel : speechLevels) {
      std::vector<int16_t> samples = Noise(24000 + 997 * seed, noiseLevel, seed);
      const int32_t period = 40 + static_cast<int32_t>(seed * 7 % 60);
      AddVoicedBurst(samples, 6000 + 131 * seed, 15000, period, speechLevel);
      AddVoicedBurst(samples, 17000, 21000 - 50 * seed, period + 9, speechLevel / 2);
      recordings.push_back({"voiced_n" + std::to_string(noiseLevel) + "_s" + std::to_string(speechLevel),
                            std::move(samples)});
      ++seed;
    }
  }

  recordings.push_back({"noise_only", Noise(20000, 800, 99)});

  std::vector<int16_t> square(20000, 0);
  for (size_t i = 5000; i < 15000; ++i) square[i] = ((i / 40) % 2 == 0) ? 32767 : -32768;
  recordings.push_back({"full_scale_square", square});

  return recordings;
}
