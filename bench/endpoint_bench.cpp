// Cost of one end-point detector step on 20 ms frames of 8 kHz audio (160 samples): one
// second of audio costs 50 steps. The bench also counts heap allocations during the timed
// steps and fails when there is any: the per-frame path must not allocate.
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <vector>

#include <benchmark/benchmark.h>

#include "endpoint/endpoint_detector.h"
#include "support/seeded_random.h"

// Every allocation of the process goes through these (glibc): operator new ends in malloc.
extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* block, size_t size);

namespace {
std::atomic<int64_t> allocations{0};
}  // namespace

extern "C" void* malloc(size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(size);
}

extern "C" void* calloc(size_t count, size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_realloc(block, size);
}

namespace {

constexpr int32_t kFrameLength = 160;
constexpr double kAudioSecondsPerStep = 1.0 / 50.0;

// Ten seconds of speech-like bursts and pauses, so that the steps pass through every state.
std::vector<int16_t> Recording() {
  std::vector<int16_t> samples(size_t(8000) * 10);
  SeededRandom noise(12345);
  for (size_t i = 0; i < samples.size(); ++i) {
    const double t = 2.0 * std::numbers::pi * 160.0 * double(i) / 8000.0;
    const bool voiced = (i / 8000) % 2 == 1;
    const double voice = voiced ? 8000.0 * (std::sin(t) + 0.5 * std::sin(2.0 * t + 0.4)) : 0.0;
    samples[i] = int16_t(std::lround(voice) + noise.Uniform(40, 16));
  }
  return samples;
}

void BM_EndpointDetectorStep(benchmark::State& state) {
  const std::vector<int16_t> samples = Recording();
  const int32_t size = EndpointDetector_WorkSize(8000, kFrameLength);
  std::vector<std::max_align_t> area(size_t(size) / sizeof(std::max_align_t) + 1);
  int32_t error = 0;
  EndpointDetector* detector = EndpointDetector_Init(8000, kFrameLength, area.data(), size, &error);
  if (detector == nullptr) {
    state.SkipWithError("EndpointDetector_Init refused 8000 Hz, 160 samples");
    return;
  }
  // The recording and the area above were allocated: a zero here means the hook is not live.
  if (allocations.load() == 0) {
    state.SkipWithError("the allocation counter sees no allocation at all");
    return;
  }
  size_t at = 0;
  const int64_t before = allocations.load();
  for (auto _ : state) {
    const int32_t result = EndpointDetector_Step(detector, samples.data() + at);
    if (result == 3) EndpointDetector_Rearm(detector);
    at += kFrameLength;
    if (at + kFrameLength > samples.size()) at = 0;
    benchmark::DoNotOptimize(result);
  }
  const int64_t allocated = allocations.load() - before;
  if (allocated != 0) state.SkipWithError("the step allocated");
  state.counters["allocations"] = double(allocated);
  // Processing time per second of audio (seconds with an SI prefix: "u" is microseconds)
  // and its inverse, seconds of audio judged per second of processing.
  state.counters["per_audio_second"] =
      benchmark::Counter(kAudioSecondsPerStep, benchmark::Counter::kIsIterationInvariantRate |
                                                   benchmark::Counter::kInvert);
  state.counters["x_realtime"] =
      benchmark::Counter(kAudioSecondsPerStep, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_EndpointDetectorStep);

}  // namespace

BENCHMARK_MAIN();
