// Many streams at once: contexts spread over one and two threads (each thread runs its own
// contexts, frame by frame in turn, as a server with many callers would), the scaling from one
// thread to two measured side by side, and the memory each context takes.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <tessel.h>
#include "context/context_allocation.h"
#include "counter_reporter.h"
#include "support/voiced_signal.h"

namespace {

constexpr int32_t kSeconds = 60;
constexpr int32_t kContextsPerThread = 16;

// One minute of voiced speech in noise per seed.
const std::vector<int16_t>& Minute(int32_t rate, uint32_t seed) {
  static std::map<std::pair<int32_t, uint32_t>, std::vector<int16_t>> cache;
  std::vector<int16_t>& samples = cache[{rate, seed}];
  if (!samples.empty()) return samples;
  voiced_signal::Options options;
  options.rate = rate;
  options.seed = seed;
  options.utteranceCount = 18;
  options.noiseAmplitude = 300;
  samples = voiced_signal::Make(options).samples;
  samples.resize(size_t(rate) * kSeconds);
  return samples;
}

// Each thread drives its own contexts over their own recordings, one 20 ms frame of each in
// turn. args: rate.
void BM_ManyContexts(benchmark::State& state) {
  const int32_t rate = int32_t(state.range(0));
  const int32_t frameSize = rate / 50 - (rate / 50) % 2;
  static std::vector<const std::vector<int16_t>*> recordings;
  if (state.thread_index() == 0) {
    recordings.clear();
    for (int32_t i = 0; i < 2 * kContextsPerThread; ++i) {
      recordings.push_back(&Minute(rate, 2000 + uint32_t(i % 4)));
    }
  }
  // The recordings are made by the first thread before the threads start together.
  std::vector<void*> contexts;
  for (int32_t i = 0; i < kContextsPerThread; ++i) contexts.push_back(Tessel_Init(rate, frameSize));
  const size_t frames = size_t(rate) * kSeconds / size_t(frameSize);
  for (auto _ : state) {
    const int32_t first = state.thread_index() * kContextsPerThread;
    for (void* context : contexts) Tessel_Reset(context);
    int32_t ends = 0;
    for (size_t f = 0; f < frames; ++f) {
      for (int32_t i = 0; i < kContextsPerThread; ++i) {
        ends += Tessel_AddSample(contexts[size_t(i)],
                                 recordings[size_t(first + i)]->data() + f * size_t(frameSize));
      }
    }
    benchmark::DoNotOptimize(ends);
  }
  for (void* context : contexts) Tessel_Release(context);
  // Seconds of audio per wall second, all threads together: the iterations counted are those of
  // all threads, and each thread's counter would count them all again, so the threads' counters
  // are averaged instead of summed.
  state.counters["x_realtime"] = benchmark::Counter(
      double(kContextsPerThread) * kSeconds,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kAvgThreads);
}

BENCHMARK(BM_ManyContexts)
    ->Arg(8000)
    ->Arg(16000)
    ->Arg(48000)
    ->Threads(1)
    ->Threads(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// What a context takes from the heap: the bytes Tessel_Init asks for and the bytes the
// allocator hands out for them (glibc: usable size, which includes rounding, plus its 8-byte
// header per block). args: rate, frame milliseconds.
size_t requestedBytes = 0;
size_t heldBytes = 0;

void* CountingAllocate(size_t size) {
  void* block = std::malloc(size);
  requestedBytes += size;
  heldBytes += malloc_usable_size(block) + sizeof(size_t);
  return block;
}

void BM_BytesPerContext(benchmark::State& state) {
  const int32_t rate = int32_t(state.range(0));
  const int32_t frameSize =
      state.range(1) == 10 ? rate / 100 + (rate / 100) % 2 : rate / 50 - (rate / 50) % 2;
  for (auto _ : state) {
    requestedBytes = 0;
    heldBytes = 0;
    contextAllocate = CountingAllocate;
    void* context = Tessel_Init(rate, frameSize);
    contextAllocate = std::malloc;
    Tessel_Release(context);
  }
  state.counters["requested_bytes"] = double(requestedBytes);
  state.counters["heap_bytes"] = double(heldBytes);
}

BENCHMARK(BM_BytesPerContext)->ArgsProduct({{8000, 11025, 16000, 22050, 44100, 48000}, {10, 20}});

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  CounterReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n%d contexts per thread, 20 ms frames, seconds of audio per wall second:\n",
              kContextsPerThread);
  std::printf("%7s %12s %12s %9s\n", "rate", "1 thread", "2 threads", "scaling");
  for (int32_t rate : {8000, 16000, 48000}) {
    const std::string name = "BM_ManyContexts/" + std::to_string(rate) + "/real_time";
    const double one = reporter.Get("x_realtime", name + "/threads:1");
    const double two = reporter.Get("x_realtime", name + "/threads:2");
    std::printf("%7d %12.0f %12.0f %8.2fx\n", rate, one, two, one > 0.0 ? two / one : 0.0);
  }
  std::printf("\nBytes per context (asked of the heap / held, allocator overhead included):\n");
  std::printf("%7s %16s %16s\n", "rate", "10 ms frames", "20 ms frames");
  for (int32_t rate : {8000, 11025, 16000, 22050, 44100, 48000}) {
    std::printf("%7d", rate);
    for (const char* ms : {"10", "20"}) {
      const std::string name = "BM_BytesPerContext/" + std::to_string(rate) + "/" + ms;
      std::printf(" %7.0f / %6.0f", reporter.Get("requested_bytes", name),
                  reporter.Get("heap_bytes", name));
    }
    std::printf("\n");
  }
  return 0;
}
