// Throughput of the whole-recording SNR estimate on ten minutes of 48 kHz audio, and the
// ratio to a straightforward per-frame evaluation of the frame levels, measured side by side.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <tessel.h>
#include "counter_reporter.h"
#include "snr/snr_estimator.h"
#include "support/seeded_random.h"

namespace {

constexpr int32_t kRate = 48000;
constexpr int32_t kSamples = kRate * 600;

const std::vector<int16_t>& Recording() {
  static const std::vector<int16_t> samples = [] {
    std::vector<int16_t> s(kSamples);
    SeededRandom random(12345);
    for (int32_t i = 0; i < kSamples; ++i) {
      const int32_t noise = static_cast<int32_t>(random.TopBits(8)) - 128;
      // Two seconds of voiced sound in every five, between quiet noise.
      const bool voiced = (i / kRate) % 5 < 2;
      const int32_t voice = voiced ? ((i % 200) < 100 ? 4000 : -4000) : 0;
      s[i] = static_cast<int16_t>(voice + noise);
    }
    return s;
  }();
  return samples;
}

// The obvious way: every frame summed on its own, each sample read twice.
SnrEstimate PerFrameReference(const int16_t* samples, int32_t count) {
  const int32_t frames = SnrFrameCount(count);
  std::vector<float> levels(frames);
  for (int32_t i = 0; i < frames; ++i) {
    float level = static_cast<float>(FrameLevel(samples + static_cast<size_t>(kSnrFrameHop) * i));
    levels[i] = level < 10.0f ? 10.0f : (level > 32000.0f ? 32000.0f : level);
  }
  return EstimateSnrFromLevels(levels.data(), frames);
}

void BM_GetSnr(benchmark::State& state) {
  const std::vector<int16_t>& samples = Recording();
  int handle;
  for (auto _ : state) {
    int32_t begin, end;
    float snr;
    Tessel_GetSNR(&handle, samples.data(), kSamples, &begin, &end, &snr);
    benchmark::DoNotOptimize(snr);
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kSamples});
}
BENCHMARK(BM_GetSnr)->Unit(benchmark::kMillisecond);

void BM_PerFrameReference(benchmark::State& state) {
  const std::vector<int16_t>& samples = Recording();
  for (auto _ : state) {
    SnrEstimate estimate = PerFrameReference(samples.data(), kSamples);
    benchmark::DoNotOptimize(estimate);
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kSamples});
}
BENCHMARK(BM_PerFrameReference)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  // Both must agree to the bit before their speeds are compared.
  {
    int handle;
    int32_t begin, end;
    float snr;
    Tessel_GetSNR(&handle, Recording().data(), kSamples, &begin, &end, &snr);
    SnrEstimate reference = PerFrameReference(Recording().data(), kSamples);
    const float referenceSnr = static_cast<float>(reference.speechLevelDb - reference.noiseLevelDb);
    if (begin != reference.spanBegin || end != reference.spanEnd || snr != referenceSnr) {
      std::fprintf(stderr, "results differ from the per-frame reference\n");
      return 1;
    }
  }
  CounterReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double fast = reporter.Get("items_per_second", "BM_GetSnr");
  const double reference = reporter.Get("items_per_second", "BM_PerFrameReference");
  if (fast > 0 && reference > 0) {
    std::printf(
        "\nTessel_GetSNR: %.3g samples/s (target 1e9); per-frame reference: %.3g samples/s; ratio "
        "%.2fx\n",
        fast, reference, fast / reference);
  }
  return 0;
}
