// The native side of js/bench/speed.mjs: the same audio through the native library, timed the
// same way. Makes ten minutes of voiced speech in noise at a rate (as bench/context_bench.cpp
// does), writes it for the WebAssembly side, and streams it through one context per pass,
// reading the utterance after every push.
//
// Usage: native_speed <rate> <frameSize> <passes> <audio.s16>
// Prints "<audio seconds per CPU second, median of the passes> <utterance ends seen>".
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <vector>

#include <tessel.h>
#include "support/voiced_signal.h"

namespace {

constexpr int32_t kSeconds = 600;

double CpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

int32_t Stream(const std::vector<int16_t>& samples, int32_t rate, int32_t frameSize) {
  void* context = Tessel_Init(rate, frameSize);
  if (context == nullptr) std::exit(2);
  int32_t lastEnd = -1, ends = 0;
  for (size_t at = 0; at + size_t(frameSize) <= samples.size(); at += size_t(frameSize)) {
    Tessel_AddSample(context, samples.data() + at);
    int32_t begin, end;
    Tessel_GetUttrEPD(context, &begin, &end);
    if (end != lastEnd) ++ends;
    lastEnd = end;
  }
  Tessel_Release(context);
  return ends;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: native_speed <rate> <frameSize> <passes> <audio.s16>\n");
    return 2;
  }
  const int32_t rate = std::atoi(argv[1]), frameSize = std::atoi(argv[2]);
  const int passes = std::atoi(argv[3]);
  const std::vector<int16_t> samples = voiced_signal::TenMinutes(rate);
  std::ofstream(argv[4], std::ios::binary)
      .write(reinterpret_cast<const char*>(samples.data()),
             std::streamsize(samples.size() * sizeof(int16_t)));
  int32_t ends = Stream(samples, rate, frameSize);
  std::vector<double> speeds;
  for (int pass = 0; pass < passes; ++pass) {
    const double start = CpuSeconds();
    ends = Stream(samples, rate, frameSize);
    speeds.push_back(kSeconds / (CpuSeconds() - start));
  }
  std::sort(speeds.begin(), speeds.end());
  std::printf("%.1f %d\n", speeds[speeds.size() / 2], ends);
  return 0;
}
