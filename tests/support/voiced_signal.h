#pragma once

// A speech-like test signal: syllables of voiced sound (a glottal pulse train at 100 to
// 250 Hz through two formant resonators, under a rising and falling envelope) grouped into
// utterances between pauses, over white noise. Only +, -, *, / on doubles and integer
// arithmetic are used, so every build, Linux or Windows, 32 or 64 bits, makes the same
// samples from the same seed.
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

// Utterances of one to four syllables (150 to 350 ms each, 40 to 120 ms apart), separated by
// pauses, with a trailing pause of pauseMax seconds.
Signal Make(const Options& options);

// Ten minutes at rate, what the benchmarks time: one-minute stretches of 18 utterances between
// pauses over noise of amplitude 300, each stretch with its own seed.
std::vector<int16_t> TenMinutes(int32_t rate);

}  // namespace voiced_signal
