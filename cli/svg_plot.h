// A picture of one analysed recording: the waveform, the utterances the end-point detector
// reported, and the speech span and SNR of the whole-recording estimate.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "context/detector_observer.h"
#include "utterance_tracker.h"

struct PlotData {
  std::string title;  // usually the file name
  const std::vector<int16_t>* samples = nullptr;
  int32_t sampleRate = 0;
  std::vector<Utterance> utterances;  // endSample -1: open to the end of the recording
  std::optional<float> snrDb;         // none when nothing is measurable
  std::optional<std::pair<int32_t, int32_t>> speechSpan;
  std::string details;  // a second title line, e.g. rate and frame size
  const std::vector<DetectorTrace>* trace = nullptr;  // a lane under the waveform when given
};

// A complete SVG document, 1000 by 360 user units, taller by the trace lane when there is one.
std::string RenderSvgPlot(const PlotData& plot);

// Steps of the time axis: the smallest of 1, 2 and 5 times a power of ten that gives at
// most `maxTicks` intervals over `seconds`.
double TimeTickStep(double seconds, int maxTicks);
