#include <gtest/gtest.h>

#include <latch>
#include <thread>
#include <vector>

#include "support/linked_exports.h"
#include "support/stream_runner.h"
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

TEST(ContextConcurrency, ContextsOnSeparateThreadsMatchTheSameStreamsRunInTurn) {
  const std::vector<Stream> streams = Streams();
  std::vector<stream_runner::Trace> inTurn;
  for (const Stream& s : streams) {
    inTurn.push_back(
        stream_runner::Run(kLinkedExports, s.rate, s.frameSize, s.samples, s.threshold));
  }

  std::vector<stream_runner::Trace> atOnce(streams.size());
  std::latch start(std::ptrdiff_t(streams.size()));
  std::vector<std::thread> threads;
  for (size_t i = 0; i < streams.size(); ++i) {
    threads.emplace_back([&, i] {
      start.arrive_and_wait();  // all contexts stream at the same time
      const Stream& s = streams[i];
      atOnce[i] = stream_runner::Run(kLinkedExports, s.rate, s.frameSize, s.samples, s.threshold);
    });
  }
  for (std::thread& t : threads) t.join();

  for (size_t i = 0; i < streams.size(); ++i) {
    ASSERT_TRUE(inTurn[i].created);
    EXPECT_FALSE(stream_runner::Utterances(inTurn[i]).empty()) << streams[i].rate;
    EXPECT_EQ(atOnce[i].begins, inTurn[i].begins) << streams[i].rate;
    EXPECT_EQ(atOnce[i].ends, inTurn[i].ends) << streams[i].rate;
    EXPECT_EQ(atOnce[i].results, inTurn[i].results) << streams[i].rate;
  }
}

}  // namespace
