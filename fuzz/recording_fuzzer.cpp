// The command line's road from a file's bytes to its results: libsndfile reads the bytes
// through a virtual file, then the recording is streamed through a context, estimated and
// drawn, and each result is checked for what the command line relies on.
#include <cstdint>
#include <string>

#include "audio_file.h"
#include "frame_size.h"
#include "fuzz_check.h"
#include "snr_measure.h"
#include "stream.h"
#include "svg_plot.h"

namespace {

void CheckStream(const Recording& recording) {
  const int32_t rate = recording.sampleRate;
  const int32_t frameSize = FrameSizeForMs(rate, 20);
  CHECK(frameSize > 0);
  StreamResult stream;
  CHECK(StreamRecording(recording.samples, rate, frameSize, std::nullopt, stream).empty());
  CHECK(stream.samplesPushed <= int64_t(recording.samples.size()));
  for (size_t i = 0; i < stream.utterances.size(); ++i) {
    const Utterance& u = stream.utterances[i];
    CHECK(u.beginSample >= 0);
    CHECK(u.endSample >= 0 || i + 1 == stream.utterances.size());
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  QuietenLibraryWarnings();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  Recording recording;
  const std::string error = ReadRecordingFromMemory(bytes, size, 0, recording);
  if (!error.empty()) {
    CHECK(error.find('\n') == std::string::npos);
    CHECK(recording.samples.empty());
    return 0;
  }
  CHECK(recording.sampleRate > 0 && recording.channels > 0);
  CHECK(recording.warning.find('\n') == std::string::npos);
  if (IsSupportedRate(recording.sampleRate)) CheckStream(recording);

  const SnrMeasure snr = MeasureSnr(recording.samples);
  CHECK(snr.measurable == (recording.samples.size() > 256));
  CHECK(snr.spanBegin <= snr.spanEnd && snr.spanEnd <= int64_t(recording.samples.size()));

  PlotData plot;
  plot.title = recording.format;
  plot.samples = &recording.samples;
  plot.sampleRate = recording.sampleRate;
  if (snr.measurable) plot.snrDb = snr.snrDb;
  const std::string svg = RenderSvgPlot(plot);
  CHECK(svg.size() >= 7 && svg.compare(svg.size() - 7, 7, "</svg>\n") == 0);
  return 0;
}
