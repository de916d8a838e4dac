// Writes the recordings behind tests/golden/stream.golden and snr.golden as raw files, so that
// the JavaScript tests push exactly the samples the C++ golden tests push. Built with the same
// compiler as the module and run under Node; the recordings use integer arithmetic and basic
// double operations only, and the golden lines' checksums of the samples confirm them.
//
// Usage: write_recordings <speech-16k.wav> <folder>
// The folder gets one <name>.s16 (little-endian 16-bit samples) per recording, and the two
// indexes stream.index ("name rate frameSize threshold" a line) and snr.index ("name" a line).
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "snr_recordings.h"
#include "stream_golden.h"

namespace {

bool WriteSamples(const std::string& path, const std::vector<int16_t>& samples) {
  std::ofstream out(path, std::ios::binary);
  for (int16_t sample : samples) {
    const uint16_t bits = uint16_t(sample);
    const char bytes[2] = {char(bits & 0xff), char(bits >> 8)};
    out.write(bytes, 2);
  }
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: write_recordings <speech-16k.wav> <folder>\n");
    return 2;
  }
  const std::string folder = argv[2];
  std::ofstream streamIndex(folder + "/stream.index");
  for (const stream_golden::Recording& recording : stream_golden::Recordings(argv[1])) {
    if (recording.samples.empty()) {
      std::fprintf(stderr, "%s: no samples read from %s\n", recording.name.c_str(), argv[1]);
      return 1;
    }
    if (!WriteSamples(folder + "/" + recording.name + ".s16", recording.samples)) return 1;
    streamIndex << recording.name << ' ' << recording.rate << ' ' << recording.frameSize << ' '
                << recording.threshold << '\n';
  }
  std::ofstream snrIndex(folder + "/snr.index");
  for (const TestRecording& recording : SnrTestRecordings()) {
    if (!WriteSamples(folder + "/" + recording.name + ".s16", recording.samples)) return 1;
    snrIndex << recording.name << '\n';
  }
  return streamIndex && snrIndex ? 0 : 1;
}
