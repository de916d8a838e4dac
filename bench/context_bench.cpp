// Speed of the streaming road, one context on one thread: seconds of audio processed per CPU
// second at each input rate (10 minutes of voiced speech in noise, 10 ms and 20 ms frames), the
// cost of each converter alone, and, in the same run, the ratios to a plain shifted-array
// evaluation of the converters and to WebRTC's voice activity detector on the same audio with
// frames of the same length.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <tessel.h>
#include "context/detector_observer.h"
#include "counter_reporter.h"
#include "endpoint/endpoint_detector.h"
#include "resample/rate_converter.h"
#include "resample/tests/shifted_reference.h"
#include "support/voiced_signal.h"

// Debian's libwebrtc-audio-processing exports the VAD's C functions but ships no header.
extern "C" {
struct WebRtcVadInst;
WebRtcVadInst* WebRtcVad_Create(void);
void WebRtcVad_Free(WebRtcVadInst* handle);
int WebRtcVad_Init(WebRtcVadInst* handle);
int WebRtcVad_set_mode(WebRtcVadInst* handle, int mode);
int WebRtcVad_Process(WebRtcVadInst* handle, int fs, const int16_t* audio_frame,
                      size_t frame_length);
}

namespace {

constexpr int32_t kSeconds = 600;
constexpr int32_t kRates[] = {8000, 11025, 16000, 22050, 44100, 48000};

// Ten minutes of voiced speech in noise per rate, made once.
const std::vector<int16_t>& TenMinutes(int32_t rate) {
  static std::map<int32_t, std::vector<int16_t>> cache;
  std::vector<int16_t>& samples = cache[rate];
  if (samples.empty()) samples = voiced_signal::TenMinutes(rate);
  return samples;
}

// The largest valid frame size of at most 20 ms: rate / 50, lowered to even.
int32_t FrameSize20ms(int32_t rate) { return rate / 50 - (rate / 50) % 2; }

// The smallest valid frame size of at least 10 ms: rate / 100, raised to even.
int32_t FrameSize10ms(int32_t rate) { return rate / 100 + (rate / 100) % 2; }

int32_t FrameSizeFor(int32_t rate, int64_t milliseconds) {
  return milliseconds == 10 ? FrameSize10ms(rate) : FrameSize20ms(rate);
}

void SetAudioCounters(benchmark::State& state, double audioSeconds) {
  state.counters["x_realtime"] =
      benchmark::Counter(audioSeconds, benchmark::Counter::kIsIterationInvariantRate);
}

void SetSampleCounters(benchmark::State& state, double samples) {
  state.counters["per_sample"] = benchmark::Counter(
      samples, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void CountFrame(void* user, const DetectorTrace*) { ++*static_cast<int64_t*>(user); }

// Ten minutes through one context, read back after every push as a host does. Watched, an
// observer that only counts the records sees every frame: the difference to the unwatched
// stream is what a trace costs inside the library.
void StreamTenMinutes(benchmark::State& state, bool watched) {
  const int32_t rate = int32_t(state.range(0));
  const std::vector<int16_t>& samples = TenMinutes(rate);
  const int32_t frameSize = FrameSizeFor(rate, state.range(1));
  int32_t utterances = 0;
  int64_t records = 0;
  for (auto _ : state) {
    void* context = Tessel_Init(rate, frameSize);
    records = 0;
    if (watched) SnrContext_SetObserver(context, {CountFrame, &records});
    int32_t lastEnd = -1;
    utterances = 0;
    for (size_t at = 0; at + size_t(frameSize) <= samples.size(); at += size_t(frameSize)) {
      Tessel_AddSample(context, samples.data() + at);
      int32_t end;
      Tessel_GetUttrEPD(context, nullptr, &end);
      if (end != lastEnd) ++utterances;
      lastEnd = end;
    }
    Tessel_Release(context);
  }
  state.counters["utterances"] = utterances;
  if (watched) state.counters["records"] = double(records);
  SetAudioCounters(state, kSeconds);
}

void BM_Context(benchmark::State& state) { StreamTenMinutes(state, false); }

void BM_ContextWatched(benchmark::State& state) { StreamTenMinutes(state, true); }

// The same road with the plain converter: histories shifted on every sample, then the same
// framing and the same detector.
void BM_ReferenceContext(benchmark::State& state) {
  const int32_t rate = int32_t(state.range(0));
  const std::vector<int16_t>& samples = TenMinutes(rate);
  const int32_t frameSize8k = 160;
  const int32_t workSize = EndpointDetector_WorkSize(8000, frameSize8k);
  std::vector<uint64_t> area(size_t(workSize) / 8 + 1);
  bool (*volatile convertPointer)(shifted_reference::Converter&, int16_t, int16_t*) =
      shifted_reference::Convert;
  for (auto _ : state) {
    const auto convert = convertPointer;
    shifted_reference::Converter converter = shifted_reference::Make(rate);
    EndpointDetector* detector =
        EndpointDetector_Init(8000, frameSize8k, area.data(), workSize, nullptr);
    int16_t frame[frameSize8k];
    int32_t fill = 0;
    for (int16_t s : samples) {
      if (!convert(converter, s, frame + fill)) continue;
      if (++fill < frameSize8k) continue;
      if (EndpointDetector_Step(detector, frame) == 3) EndpointDetector_Rearm(detector);
      fill = 0;
    }
  }
  SetAudioCounters(state, kSeconds);
}

// The block converters, one call per 20 ms input frame as the context makes them.
void BM_BlockConverter(benchmark::State& state) {
  const int32_t rate = int32_t(state.range(0));
  const std::vector<int16_t>& all = TenMinutes(rate);
  const std::vector<int16_t> samples(all.begin(), all.begin() + 60 * rate);
  const int32_t frameSize = FrameSize20ms(rate);
  BlockConverter volatile convertPointer = BlockConverterForRate(rate);
  std::vector<int16_t> out(static_cast<size_t>(frameSize));
  for (auto _ : state) {
    const BlockConverter convert = convertPointer;
    RateConverter converter;
    RateConverter_Reset(&converter);
    int32_t produced = 0;
    for (size_t at = 0; at + size_t(frameSize) <= samples.size(); at += size_t(frameSize)) {
      produced += convert(&converter, samples.data() + at, frameSize, out.data());
    }
    benchmark::DoNotOptimize(produced);
    benchmark::DoNotOptimize(out.data());
  }
  SetSampleCounters(state, double(samples.size()));
  SetAudioCounters(state, 60);
}

void BM_ReferenceConverter(benchmark::State& state) {
  const int32_t rate = int32_t(state.range(0));
  const std::vector<int16_t>& all = TenMinutes(rate);
  const std::vector<int16_t> samples(all.begin(), all.begin() + 60 * rate);
  bool (*volatile convertPointer)(shifted_reference::Converter&, int16_t, int16_t*) =
      shifted_reference::Convert;
  for (auto _ : state) {
    const auto convert = convertPointer;
    shifted_reference::Converter converter = shifted_reference::Make(rate);
    int16_t out = 0;
    int32_t produced = 0;
    for (int16_t s : samples) produced += convert(converter, s, &out);
    benchmark::DoNotOptimize(produced);
  }
  SetSampleCounters(state, double(samples.size()));
  SetAudioCounters(state, 60);
}

void BM_WebRtcVad(benchmark::State& state) {
  const int32_t rate = int32_t(state.range(0));
  const size_t frameLength = size_t(rate) * size_t(state.range(1)) / 1000;
  const std::vector<int16_t>& samples = TenMinutes(rate);
  int32_t voiced = 0;
  for (auto _ : state) {
    WebRtcVadInst* vad = WebRtcVad_Create();
    WebRtcVad_Init(vad);
    WebRtcVad_set_mode(vad, 0);
    voiced = 0;
    for (size_t at = 0; at + frameLength <= samples.size(); at += frameLength) {
      const int result = WebRtcVad_Process(vad, rate, samples.data() + at, frameLength);
      if (result < 0) {
        state.SkipWithError("WebRtcVad_Process refused the frame");
        break;
      }
      voiced += result;
    }
    WebRtcVad_Free(vad);
  }
  state.counters["voiced_frames"] = voiced;
  SetAudioCounters(state, kSeconds);
}

void EveryRate(benchmark::internal::Benchmark* b) {
  for (int32_t rate : kRates) b->Arg(rate);
}

void EveryRateAndFrame(benchmark::internal::Benchmark* b) {
  for (int32_t rate : kRates) {
    for (int32_t milliseconds : {20, 10}) b->Args({rate, milliseconds});
  }
}

BENCHMARK(BM_Context)->Apply(EveryRateAndFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContextWatched)->Args({8000, 20})->Args({48000, 20})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceContext)->Apply(EveryRate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlockConverter)->Apply(EveryRate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceConverter)->Apply(EveryRate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WebRtcVad)
    ->ArgsProduct({{8000, 16000, 48000}, {10, 20}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  CounterReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf(
      "\nAudio seconds per CPU second (x real time), one context; converters in ns per "
      "input sample:\n");
  std::printf("%7s %10s %10s %10s %10s %10s %9s %9s\n", "rate", "ctx 20 ms", "ctx 10 ms",
              "vs VAD 20", "vs VAD 10", "reference", "block", "shifted");
  for (int32_t rate : kRates) {
    std::string arg = "/";
    arg += std::to_string(rate);
    const double context20 = reporter.Get("x_realtime", std::string("BM_Context") + arg + "/20");
    const double context10 = reporter.Get("x_realtime", std::string("BM_Context") + arg + "/10");
    const double reference = reporter.Get("x_realtime", std::string("BM_ReferenceContext") + arg);
    const double vad10 = reporter.Get("x_realtime", std::string("BM_WebRtcVad") + arg + "/10");
    const double vad20 = reporter.Get("x_realtime", std::string("BM_WebRtcVad") + arg + "/20");
    auto ratio = [](double a, double b) { return b > 0.0 ? a / b : 0.0; };
    // x real time to nanoseconds per input sample.
    auto perSample = [&](const char* name) {
      const double realtime = reporter.Get("x_realtime", std::string(name) + arg);
      return realtime > 0.0 ? 1e9 / (realtime * rate) : 0.0;
    };
    std::printf("%7d %10.0f %10.0f", rate, context20, context10);
    if (vad10 > 0.0) {
      std::printf(" %9.2fx %9.2fx", ratio(context20, vad20), ratio(context10, vad10));
    } else {
      std::printf(" %10s %10s", "", "");
    }
    std::printf(" %10.0f %9.2f %9.2f\n", reference, perSample("BM_BlockConverter"),
                perSample("BM_ReferenceConverter"));
  }
  std::printf(
      "\"vs VAD\": against WebRTC's VAD with frames of the same length (> 1: faster); "
      "\"reference\": 20 ms frames through the shifted-array converter and the same "
      "detector\n");
  return 0;
}
