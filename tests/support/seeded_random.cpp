#include "support/seeded_random.h"

uint32_t SeededRandom::Next() {
  state_ = state_ * 1664525u + 1013904223u;
  return state_;
}

uint32_t SeededRandom::TopBits(int32_t count) { return Next() >> (32 - count); }

int32_t SeededRandom::Uniform(int32_t amplitude, int32_t bits) {
  const uint32_t values = 2 * uint32_t(amplitude) + 1;
  return int32_t(TopBits(bits) % values) - amplitude;
}

double SeededRandom::Between(double low, double high) {
  return low + (high - low) * (TopBits(24) / 16777216.0);
}

int32_t SeededRandom::Bell(int32_t amplitude) {
  // The sum does not depend on the order in which the four draws are made.
  return (Uniform(amplitude) + Uniform(amplitude) + Uniform(amplitude) + Uniform(amplitude)) / 2;
}
