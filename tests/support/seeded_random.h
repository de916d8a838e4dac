#pragma once

#include <cstdint>

// The tests' one pseudo-random source: a linear congruential generator, so that a seed gives
// the same sequence on every platform and build, and recordings made from it never change.
// Draws take the top bits of the next state (the low bits of such a generator are the least
// random); the count is part of what a recording is, so callers may choose it.
class SeededRandom {
 public:
  explicit SeededRandom(uint32_t seed) : state_(seed) {}

  // The next state, all 32 bits.
  uint32_t Next();
  // The top `count` (1 to 32) bits of the next state.
  uint32_t TopBits(int32_t count);
  // Uniform in [-amplitude, amplitude] (amplitude >= 0): TopBits(bits) modulo 2 amplitude + 1.
  int32_t Uniform(int32_t amplitude, int32_t bits = 24);
  // Uniform in [low, high), from 24 bits.
  double Between(double low, double high);
  // Half the sum of four Uniform(amplitude): roughly Gaussian, within [-2 amplitude,
  // 2 amplitude].
  int32_t Bell(int32_t amplitude);

 private:
  uint32_t state_;
};
