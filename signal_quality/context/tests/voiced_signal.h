// A speech-like test signal: syllables of voiced sound (a glottal pulse train at 100 to
// 250 Hz through two formant resonators, under a rising and falling envelope) grouped into
// utterances between pauses, over white noise. Only +, -, *, / on doubles and integer
// arithmetic are used, so every build, Linux or Windows, 32 or 64 bits, makes the same
// samples from the same seed.
#ifndef TESSEL_CONTEXT_TESTS_VOICED_SIGNAL_H
#define TESSEL_CONTEXT_TESTS_VOICED_SIGNAL_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace voiced_signal {

struct Utterance {
  int64_t begin;  // first voiced sample
  int64_t end;    // one past the last voiced sample
};

struct Signal {
  std::vector<int16_t> samples;
  std::vector<Utterance> utterances;  // where voice was put, in samples
};

struct Options {
  int32_t rate = 8000;
  int32_t utteranceCount = 3;
  int32_t noiseAmplitude = 200;   // peak of the uniform white noise
  int32_t voiceAmplitude = 9000;  // rough peak of a syllable
  double leadIn = 1.0;            // seconds of noise before the first utterance
  double pauseMin = 1.6;          // seconds of noise between utterances
  double pauseMax = 2.4;
  uint32_t seed = 1;
};

// Linear congruential generator with a fixed sequence on every platform.
struct Random {
  uint32_t state;
  uint32_t Next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
  // Uniform in [low, high).
  double Between(double low, double high) { return low + (high - low) * (Next() / 16777216.0); }
  int32_t Noise(int32_t amplitude) {
    return amplitude == 0 ? 0 : int32_t(Next() % uint32_t(2 * amplitude + 1)) - amplitude;
  }
};

// cos(x) for |x| <= pi by its Taylor series: no library call, the same bits everywhere.
inline double Cosine(double x) {
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

inline int16_t Saturate(double v) {
  if (v > 32767.0) return 32767;
  if (v < -32768.0) return -32768;
  return int16_t(v);
}

// Adds one syllable of voice at samples [begin, begin + length).
inline void AddSyllable(std::vector<double>& voice, int64_t begin, int64_t length, int32_t rate,
                        Random& random, double amplitude) {
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

// Utterances of one to four syllables (150 to 350 ms each, 40 to 120 ms apart), separated by
// pauses, with a trailing pause of pauseMax seconds.
inline Signal Make(const Options& options) {
  Random random{options.seed * 2654435761u + 12345u};
  const int32_t rate = options.rate;
  // Lay the utterances out first, to know the length.
  struct Syllable {
    int64_t begin, length;
  };
  std::vector<Syllable> syllables;
  Signal signal;
  int64_t position = int64_t(options.leadIn * rate);
  for (int32_t u = 0; u < options.utteranceCount; ++u) {
    const int32_t count = 1 + int32_t(random.Next() % 4);
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
    signal.samples[i] = Saturate(voice[i] + random.Noise(options.noiseAmplitude));
  }
  return signal;
}

}  // namespace voiced_signal

#endif
