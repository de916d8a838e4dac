// `tessel analyze`: every utterance a live host would have seen, plus the whole-recording SNR.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "run_in_order.h"

struct AnalyzeOptions {
  int channel = 0;
  bool json = false;
  int frameMs = 20;                     // used when frameSize is not given
  std::optional<int32_t> frameSize;     // input samples per push
  std::optional<int32_t> vadThreshold;  // the detector's default when not given
};

// plotFile: where to write the SVG picture; empty for none. traceFile: where to write the
// detector's frame-by-frame records as CSV; empty for none. A traced plot also shows them.
FileReport RunAnalyze(const std::string& path, const AnalyzeOptions& options,
                      const std::string& plotFile, const std::string& traceFile = {});
