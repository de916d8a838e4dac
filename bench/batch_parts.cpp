// The two parts of `tessel analyze` measured apart, for bench/batch_bench:
//   batch_parts make DIR          writes the benchmark's recordings into DIR
//   batch_parts decode N FILE...  CPU seconds to decode the files with libsndfile, 16 bits at a
//                                 time in large blocks (the least of N runs)
//   batch_parts library N FILE... CPU seconds of the library alone on the same samples already
//                                 in memory: a context over every frame and the SNR, as
//                                 `tessel analyze` calls them (the least of N runs)
#include <sndfile.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "audio_file.h"
#include "frame_size.h"
#include "snr_measure.h"
#include "stream.h"
#include "support/voiced_signal.h"

namespace {

constexpr int kFilesPerKind = 30;
constexpr int kSecondsPerFile = 60;
constexpr sf_count_t kBlockFrames = 1 << 16;

struct Kind {
  const char* name;
  int32_t rate;
  int format;
  const char* extension;
};

constexpr Kind kKinds[] = {
    {"wav16k", 16000, SF_FORMAT_WAV | SF_FORMAT_PCM_16, "wav"},
    {"flac16k", 16000, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "flac"},
    {"wav48k", 48000, SF_FORMAT_WAV | SF_FORMAT_PCM_16, "wav"},
    {"flac48k", 48000, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "flac"},
};

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

// One minute of speech-like sound in noise: utterances between pauses, as the other
// benchmarks time, each file with its own seed and the same seeds at every rate and format.
std::vector<int16_t> OneMinute(int32_t rate, int index) {
  const size_t length = size_t(rate) * kSecondsPerFile;
  std::vector<int16_t> samples;
  for (uint32_t stretch = 0; samples.size() < length; ++stretch) {
    voiced_signal::Options options;
    options.rate = rate;
    options.seed = 5000 + 100 * uint32_t(index) + stretch;
    options.utteranceCount = 18;
    options.noiseAmplitude = 300;
    const std::vector<int16_t> part = voiced_signal::Make(options).samples;
    samples.insert(samples.end(), part.begin(), part.end());
  }
  samples.resize(length);
  return samples;
}

int Make(const std::string& dir) {
  for (const Kind& kind : kKinds) {
    for (int i = 0; i < kFilesPerKind; ++i) {
      const std::vector<int16_t> samples = OneMinute(kind.rate, i);
      char name[64];
      std::snprintf(name, sizeof name, "%s-%02d.%s", kind.name, i + 1, kind.extension);
      const std::string path = dir + "/" + name;
      SF_INFO info{};
      info.samplerate = kind.rate;
      info.channels = 1;
      info.format = kind.format;
      SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
      if (file == nullptr) {
        std::fprintf(stderr, "batch_parts: cannot write %s: %s\n", path.c_str(),
                     sf_strerror(nullptr));
        return 1;
      }
      const sf_count_t written = sf_writef_short(file, samples.data(), sf_count_t(samples.size()));
      sf_close(file);
      if (written != sf_count_t(samples.size())) {
        std::fprintf(stderr, "batch_parts: cannot write %s\n", path.c_str());
        return 1;
      }
    }
  }
  return 0;
}

// Returns the samples decoded, so that the work cannot be left out.
int64_t DecodeAll(const std::vector<std::string>& files, std::vector<int16_t>& block) {
  int64_t total = 0;
  for (const std::string& path : files) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) return -1;
    block.resize(size_t(kBlockFrames) * size_t(info.channels));
    for (sf_count_t got; (got = sf_readf_short(file, block.data(), kBlockFrames)) > 0;) {
      total += got + block[0];
    }
    sf_close(file);
  }
  return total;
}

int64_t RunLibrary(const std::vector<Recording>& recordings) {
  int64_t total = 0;
  for (const Recording& recording : recordings) {
    const int32_t rate = recording.sampleRate;
    StreamResult stream;
    if (!StreamRecording(recording.samples, rate, FrameSizeForMs(rate, 20), std::nullopt, stream)
             .empty()) {
      return -1;
    }
    const SnrMeasure snr = MeasureSnr(recording.samples);
    total += int64_t(stream.utterances.size()) + snr.spanEnd;
  }
  return total;
}

template <typename Work>
double LeastCpuSeconds(int repeats, Work work) {
  double least = std::numeric_limits<double>::infinity();
  for (int r = 0; r < repeats; ++r) {
    const double start = CpuSeconds();
    if (work() < 0) return -1;
    least = std::min(least, CpuSeconds() - start);
  }
  return least;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string usage =
      "usage: batch_parts make DIR | batch_parts decode|library REPEATS FILE...\n";
  if (argc == 3 && std::strcmp(argv[1], "make") == 0) return Make(argv[2]);
  if (argc < 4) {
    std::fputs(usage.c_str(), stderr);
    return 2;
  }
  const std::string mode = argv[1];
  const int repeats = std::max(1, std::atoi(argv[2]));
  const std::vector<std::string> files(argv + 3, argv + argc);
  double seconds = -1;
  if (mode == "decode") {
    std::vector<int16_t> block;
    seconds = LeastCpuSeconds(repeats, [&] { return DecodeAll(files, block); });
  } else if (mode == "library") {
    std::vector<Recording> recordings(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
      if (const std::string reason = ReadRecording(files[i], 0, recordings[i]); !reason.empty()) {
        std::fprintf(stderr, "batch_parts: %s: %s\n", files[i].c_str(), reason.c_str());
        return 1;
      }
    }
    seconds = LeastCpuSeconds(repeats, [&] { return RunLibrary(recordings); });
  } else {
    std::fputs(usage.c_str(), stderr);
    return 2;
  }
  if (seconds < 0) {
    std::fprintf(stderr, "batch_parts: a file could not be %s\n",
                 mode == "decode" ? "decoded" : "analysed");
    return 1;
  }
  std::printf("%.6f\n", seconds);
  return 0;
}
