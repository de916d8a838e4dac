#include "support/voiced_signal.h"

#include <cstddef>

#include "support/seeded_random.h"
#include "support/test_signals.h"

namespace voiced_signal {
namespace {

using test_signals::TruncateToInt16;

// cos(x) for |x| <= pi by its Taylor series: no library call, the same bits everywhere.
double Cosine(double x) {
  const double x2 = x * x;
  double term = 1.0;
  double sum = 1.0;
  for (int k = 1; k <= 14; ++k) {
    term = -term * x2 / double((2 * k - 1) * (2 * k));
    sum = sum + term;
  }
  return sum;
}

// Two-pole resonator at frequency hz with bandwidth bandwidthHz, unit gain near its peak.
struct Resonator {
  double b1, b2, gain, y1 = 0.0, y2 = 0.0;
  Resonator(double hz, double bandwidthHz, int32_t rate) {
    const double pi = 3.14159265358979323846;
    const double r = 1.0 - pi * bandwidthHz / rate;
    b1 = 2.0 * r * Cosine(2.0 * pi * hz / rate);
    b2 = -r * r;
    gain = 1.0 - r;
  }
  double Step(double x) {
    const double y = gain * x + b1 * y1 + b2 * y2;
    y2 = y1;
    y1 = y;
    return y;
  }
};

// Adds one syllable of voice at samples [begin, begin + length).
void AddSyllable(std::vector<double>& voice, int64_t begin, int64_t length, int32_t rate,
                 SeededRandom& random, double amplitude) {
  const double pitchStart = random.Between(100.0, 250.0);
  const double pitchEnd = pitchStart * random.Between(0.8, 1.2);
  Resonator first(random.Between(450.0, 800.0), 90.0, rate);
  Resonator second(random.Between(1100.0, 1900.0), 120.0, rate);
  const int64_t ramp = rate / 25;  // 40 ms attack and decay
  double phase = 1.0;              // a pulse on the first sample
  for (int64_t i = 0; i < length; ++i) {
    const double pitch = pitchStart + (pitchEnd - pitchStart) * double(i) / double(length);
    double pulse = 0.0;
    if (phase >= 1.0) {
      phase -= 1.0;
      pulse = 1.0;
    }
    phase += pitch / rate;
    double envelope = 1.0;
    if (i < ramp) envelope = double(i) / double(ramp);
    if (length - i < ramp) envelope = double(length - i) / double(ramp);
    const double formants = first.Step(pulse) * 12.0 + second.Step(pulse) * 6.0;
    voice[std::size_t(begin + i)] += amplitude * envelope * formants;
  }
}

}  // namespace

Signal Make(const Options& options) {
  SeededRandom random(options.seed * 2654435761u + 12345u);
  const int32_t rate = options.rate;
  // Lay the utterances out first, to know the length.
  struct Syllable {
    int64_t begin, length;
  };
  std::vector<Syllable> syllables;
  Signal signal;
  int64_t position = int64_t(options.leadIn * rate);
  for (int32_t u = 0; u < options.utteranceCount; ++u) {
    const int32_t count = 1 + int32_t(random.TopBits(24) % 4);
    Utterance utterance{position, position};
    for (int32_t s = 0; s < count; ++s) {
      if (s > 0) position += int64_t(random.Between(0.04, 0.12) * rate);
      const int64_t length = int64_t(random.Between(0.15, 0.35) * rate);
      syllables.push_back({position, length});
      position += length;
    }
    utterance.end = position;
    signal.utterances.push_back(utterance);
    const bool last = u + 1 == options.utteranceCount;
    position += int64_t(
        (last ? options.pauseMax : random.Between(options.pauseMin, options.pauseMax)) * rate);
  }
  std::vector<double> voice(std::size_t(position), 0.0);
  for (const Syllable& s : syllables) {
    AddSyllable(voice, s.begin, s.length, rate, random,
                options.voiceAmplitude * random.Between(0.5, 1.0));
  }
  signal.samples.resize(voice.size());
  for (std::size_t i = 0; i < voice.size(); ++i) {
    signal.samples[i] = TruncateToInt16(voice[i] + random.Uniform(options.noiseAmplitude));
  }
  return signal;
}

std::vector<int16_t> TenMinutes(int32_t rate) {
  const size_t length = size_t(rate) * 600;
  std::vector<int16_t> samples;
  for (uint32_t minute = 0; samples.size() < length; ++minute) {
    Options options;
    options.rate = rate;
    options.seed = 1000 + minute;
    options.utteranceCount = 18;
    options.noiseAmplitude = 300;
    const std::vector<int16_t> stretch = Make(options).samples;
    samples.insert(samples.end(), stretch.begin(), stretch.end());
  }
  samples.resize(length);
  return samples;
}

}  // namespace voiced_signal
