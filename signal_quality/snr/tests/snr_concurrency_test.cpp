#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/test_signals.h"
#include "tessel.h"

namespace {

struct Result {
  int32_t begin, end;
  float snr;
  bool operator==(const Result&) const = default;
};

std::vector<int16_t> NoisyBurst(unsigned seed) {
  std::vector<int16_t> samples = test_signals::BellNoise(48000, 50 + 2 * seed, seed);
  test_signals::AddVoicedBurst(samples, 9000 + 100 * seed, 30000, 40 + 2 * seed, 3000);
  return samples;
}

Result Measure(const std::vector<int16_t>& samples) {
  int handle;
  Result r{};
  Tessel_GetSNR(&handle, samples.data(), static_cast<int32_t>(samples.size()), &r.begin, &r.end,
                &r.snr);
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
