#include <random>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tessel.h"

namespace {

struct Result {
  int32_t begin, end;
  float snr;
  bool operator==(const Result&) const = default;
};

std::vector<int16_t> NoisyBurst(unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> noise(0.0, 30.0 + seed);
  std::vector<int16_t> samples(48000);
  for (size_t i = 0; i < samples.size(); ++i) {
    double v = noise(random);
    if (i > 9000 + 100 * seed && i < 30000) v += 3000.0 * ((i / (20 + seed)) % 2 ? 1 : -1);
    samples[i] = static_cast<int16_t>(v);
  }
  return samples;
}

Result Measure(const std::vector<int16_t>& samples) {
  int handle;
  Result r{};
  Tessel_GetSNR(&handle, samples.data(), static_cast<int32_t>(samples.size()), &r.begin, &r.end, &r.snr);
  return r;
}

// The first calls may come from several threads at once, before any shared constant is set.
TEST(GetSnrConcurrency, ThreadsGiveTheSequentialResults) {
  constexpr unsigned kThreads = 4;
  std::vector<std::vector<int16_t>> recordings;
  for (unsigned t = 0; t < kThreads; ++t) recordings.push_back(NoisyBurst(t));

  std::vector<std::vector<Result>> concurrent(kThreads);
  std::vector<std::thread> threads;
  for (unsigned t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int repeat = 0; repeat < 20; ++repeat) concurrent[t].push_back(Measure(recordings[t]));
    });
  }
  for (auto& thread : threads) thread.join();

  for (unsigned t = 0; t < kThreads; ++t) {
    const Result expected = Measure(recordings[t]);
    for (const Result& r : concurrent[t]) EXPECT_EQ(r, expected) << "thread " << t;
  }
}

}  // namespace
