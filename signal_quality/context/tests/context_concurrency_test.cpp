// Everything tessel.h allows at the same time: contexts on different threads (each running its
// own converter, detector and periodicity analysis) and Tessel_GetSNR from any thread. Runs
// under ThreadSanitizer too.
#include <gtest/gtest.h>

#include <latch>
#include <thread>
#include <vector>

#include "support/linked_exports.h"
#include "support/stream_runner.h"
#include "support/test_signals.h"
#include "support/voiced_signal.h"
#include "tessel.h"

namespace {

struct Stream {
  int32_t rate, frameSize, threshold;
  std::vector<int16_t> samples;
};

std::vector<Stream> Streams() {
  struct Shape {
    int32_t rate, frameSize, threshold;
  };
  std::vector<Stream> streams;
  uint32_t seed = 40;
  for (const Shape& s : {Shape{8000, 160, 156}, Shape{11025, 110, 156}, Shape{16000, 320, 400},
                         Shape{22050, 440, 156}, Shape{44100, 442, 156}, Shape{48000, 960, 300}}) {
    voiced_signal::Options options;
    options.rate = s.rate;
    options.seed = ++seed;
    options.utteranceCount = 3;
    streams.push_back({s.rate, s.frameSize, s.threshold, voiced_signal::Make(options).samples});
  }
  return streams;
}

struct Estimate {
  int32_t begin, end;
  float snr;
  bool operator==(const Estimate&) const = default;
};

std::vector<int16_t> NoisyBurst(uint32_t seed) {
  std::vector<int16_t> samples = test_signals::BellNoise(48000, 50 + 2 * int32_t(seed), seed);
  test_signals::AddVoicedBurst(samples, 9000 + 100 * seed, 30000, 40 + 2 * int32_t(seed), 3000);
  return samples;
}

Estimate Measure(const std::vector<int16_t>& samples) {
  int handle;
  Estimate e{};
  Tessel_GetSNR(&handle, samples.data(), int32_t(samples.size()), &e.begin, &e.end, &e.snr);
  return e;
}

// The threads make the process's first calls, so that anything set up on first use is set up
// by several threads at once; the same work done in turn afterwards is the reference.
TEST(Concurrency, ContextsAndEstimatesOnThreadsStartedTogetherMatchTheSameWorkInTurn) {
  const std::vector<Stream> streams = Streams();
  std::vector<std::vector<int16_t>> recordings;
  for (uint32_t seed = 0; seed < 4; ++seed) recordings.push_back(NoisyBurst(seed));

  std::vector<stream_runner::Trace> atOnce(streams.size());
  std::vector<std::vector<Estimate>> estimates(recordings.size());
  std::latch start(std::ptrdiff_t(streams.size() + recordings.size()));
  std::vector<std::thread> threads;
  for (size_t i = 0; i < streams.size(); ++i) {
    threads.emplace_back([&, i] {
      start.arrive_and_wait();
      const Stream& s = streams[i];
      atOnce[i] = stream_runner::Run(kLinkedExports, s.rate, s.frameSize, s.samples, s.threshold);
    });
  }
  for (size_t i = 0; i < recordings.size(); ++i) {
    threads.emplace_back([&, i] {
      start.arrive_and_wait();
      for (int repeat = 0; repeat < 20; ++repeat) estimates[i].push_back(Measure(recordings[i]));
    });
  }
  for (std::thread& t : threads) t.join();

  for (size_t i = 0; i < streams.size(); ++i) {
    const Stream& s = streams[i];
    const stream_runner::Trace inTurn =
        stream_runner::Run(kLinkedExports, s.rate, s.frameSize, s.samples, s.threshold);
    ASSERT_TRUE(inTurn.created);
    EXPECT_FALSE(stream_runner::Utterances(inTurn).empty()) << s.rate;
    EXPECT_EQ(atOnce[i].begins, inTurn.begins) << s.rate;
    EXPECT_EQ(atOnce[i].ends, inTurn.ends) << s.rate;
    EXPECT_EQ(atOnce[i].results, inTurn.results) << s.rate;
  }
  for (size_t i = 0; i < recordings.size(); ++i) {
    const Estimate inTurn = Measure(recordings[i]);
    EXPECT_LT(inTurn.begin, inTurn.end) << "recording " << i;
    for (const Estimate& e : estimates[i]) EXPECT_EQ(e, inTurn) << "recording " << i;
  }
}

}  // namespace
