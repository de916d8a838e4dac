#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// Test recordings made from a seed and a few numbers. Those made with integer arithmetic
// alone (the noises, the voiced bursts) are the same on every build and may feed golden
// files; those made with sin, cos or exp serve checks within one build.

namespace test_signals {

// Saturated to the 16-bit range.
int16_t SaturateToInt16(int64_t value);
// Saturated to the 16-bit range and truncated toward zero.
int16_t TruncateToInt16(double value);

// count samples of SeededRandom(seed).Uniform(amplitude, bits).
std::vector<int16_t> UniformNoise(size_t count, int32_t amplitude, uint32_t seed,
                                  int32_t bits = 24);
// count samples of SeededRandom(seed).Bell(amplitude), saturated.
std::vector<int16_t> BellNoise(size_t count, int32_t amplitude, uint32_t seed);

// amplitude * sin(2 pi hz i / rate + phase), rounded to the nearest integer.
std::vector<int16_t> Tone(size_t count, double hz, double amplitude, int32_t rate,
                          double phase = 0.0);
// A vowel-like sound: the fundamental at pitchHz with the second and third harmonics at a half
// and a quarter of its amplitude, rounded to the nearest integer (no saturation).
std::vector<int16_t> Harmonics(size_t count, double pitchHz, double amplitude, int32_t rate);

// Sets samples [begin, end) to a square wave that is high for halfPeriod samples and low for
// the next halfPeriod, its periods counted from sample 0.
void SetSquareWave(std::vector<int16_t>& samples, size_t begin, size_t end, size_t halfPeriod,
                   int16_t high, int16_t low);
// count samples of silence with SetSquareWave(begin, end, halfPeriod, high, low).
std::vector<int16_t> SquareBurst(size_t count, size_t begin, size_t end, size_t halfPeriod,
                                 int16_t high, int16_t low);

// Adds a periodic integer waveform (a triangle with a pulse at the start of every period) to
// samples [begin, end), saturated.
void AddVoicedBurst(std::vector<int16_t>& samples, size_t begin, size_t end, int32_t period,
                    int32_t amplitude);

// Adds syllables between beginSeconds and endSeconds: glottal pulses at 150 Hz through a
// resonance near 700 Hz about 100 Hz wide, each syllable 200 ms under a raised-cosine envelope
// with its loudest sample at peak, 60 ms apart. The same at every rate.
void AddSyllables(std::vector<int16_t>& samples, int32_t rate, double beginSeconds,
                  double endSeconds, double peak = 8000.0);
// seconds of 16-bit uniform noise (seed 12345) with syllables in the given spans (seconds).
std::vector<int16_t> SpeechInNoise(int32_t rate, double seconds,
                                   const std::vector<std::pair<double, double>>& speech,
                                   int32_t noiseAmplitude = 60);

}  // namespace test_signals
