// Cost of the per-frame periodicity test. The detector calls it once per 20 ms frame of
// 8 kHz audio (2000 Hz analysis rate), so one second of audio costs 50 calls.
#include <cmath>
#include <cstdint>
#include <numbers>
#include <span>
#include <vector>

#include <benchmark/benchmark.h>

#include "fft/real_fft_256.h"
#include "pitch/periodicity.h"

namespace {

constexpr double kAudioSecondsPerCall = 1.0 / 50.0;

std::vector<int16_t> VoicedWindow() {
  std::vector<int16_t> window(128);
  for (int32_t i = 0; i < 128; ++i) {
    const double t = 2.0 * std::numbers::pi * i / 2000.0;
    window[i] =
        int16_t(std::lround(3000.0 * std::sin(180.0 * t) + 1200.0 * std::sin(360.0 * t + 0.4)));
  }
  return window;
}

void BM_EstimatePitch(benchmark::State& state) {
  const std::vector<int16_t> window = VoicedWindow();
  std::vector<char> work(kPeriodicityWorkBytes);
  float peak = 0.0f;
  float energy = 0.0f;
  for (auto _ : state) {
    float pitch = EstimatePitch(window.data(), 128, 2000, &peak, &energy, work.data());
    benchmark::DoNotOptimize(pitch);
    benchmark::ClobberMemory();
  }
  // Processing time per second of audio (in seconds, shown with an SI prefix: "u" is
  // microseconds) and its inverse, seconds of audio analysed per second of processing.
  state.counters["per_audio_second"] =
      benchmark::Counter(kAudioSecondsPerCall, benchmark::Counter::kIsIterationInvariantRate |
                                                   benchmark::Counter::kInvert);
  state.counters["x_realtime"] =
      benchmark::Counter(kAudioSecondsPerCall, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_EstimatePitch);

// The autocorrelation route alone (forward transform, power spectrum, backward transform) in
// each form the build has: with the twiddle products in SSE2 registers, what every Windows
// build can run, and in AVX2 registers, what Forward256 and its kin take where the processor
// has it.
void BM_Autocorrelation(benchmark::State& state) {
  const std::span<const Transform256Form> forms = RunnableTransformForms();
  if (size_t(state.range(0)) >= forms.size()) {
    state.SkipWithError("this build or processor has no such form");
    return;
  }
  const Transform256Form& form = forms[size_t(state.range(0))];
  const std::vector<int16_t> window = VoicedWindow();
  std::vector<float> lags(128);
  std::vector<float> work(512);
  for (auto _ : state) {
    form.autocorrelation(window.data(), lags.data(), work.data());
    benchmark::DoNotOptimize(lags.data());
    benchmark::ClobberMemory();
  }
  state.SetLabel(form.instructionSet);
}
BENCHMARK(BM_Autocorrelation)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
