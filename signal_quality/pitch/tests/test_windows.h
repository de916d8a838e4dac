#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

// Test windows of 128 samples at 2000 Hz.

inline std::vector<int16_t> SineWindow(double frequencyHz, double amplitude, double phase = 0.3) {
    std::vector<int16_t> window(128);
    for (int32_t i = 0; i < 128; ++i) {
        const double angle = 2.0 * std::numbers::pi * frequencyHz * i / 2000.0 + phase;
        window[i] = int16_t(std::lround(amplitude * std::sin(angle)));
    }
    return window;
}

// Deterministic values in [-amplitude, amplitude].
inline std::vector<int16_t> NoiseWindow(uint32_t seed, int32_t amplitude) {
    std::vector<int16_t> window(128);
    for (int16_t& v : window) {
        seed = seed * 1664525u + 1013904223u;
        v = int16_t(int32_t(seed >> 8) % (2 * amplitude + 1) - amplitude);
    }
    return window;
}
