// Streams a recording through a context exactly as a host would: whole frames, one push
// each, reading begin and end after every push.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "context/detector_observer.h"
#include "utterance_tracker.h"

struct StreamResult {
  std::vector<Utterance> utterances;
  int64_t samplesPushed = 0;         // a last partial frame is not pushed, as a host would not
  std::vector<DetectorTrace> trace;  // one record per analysed frame, when asked for
};

// Returns an empty string on success, otherwise a one-line reason. With traceFrames the
// detector is watched and result.trace gets its records.
std::string StreamRecording(const std::vector<int16_t>& samples, int32_t sampleRate,
                            int32_t frameSize, std::optional<int32_t> vadThreshold,
                            StreamResult& result, bool traceFrames = false);
