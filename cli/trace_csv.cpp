#include "trace_csv.h"

#include <cstdio>

namespace {

constexpr const char* kStateNames[] = {"filling", "waiting", "utterance", "ended"};

const char* StateName(int32_t state) {
  return state >= kDetectorFilling && state <= kDetectorEnded ? kStateNames[state] : "?";
}

const char* EventName(int32_t result) {
  if (result == kEndpointBegin) return "begin";
  if (result == kEndpointEnd) return "end";
  return "";
}

constexpr const char* kHeader =
    "frame,sample,seconds,state,event,energy,threshold,peak,floor,pitch_hz,pitch_lag,voiced,"
    "speech_like,run,begin_candidate,end_candidate,begin,end\n";

}  // namespace

std::string TraceCsv(const std::vector<DetectorTrace>& trace) {
  std::string csv = kHeader;
  for (const DetectorTrace& t : trace) {
    char lag[32] = "-1";
    if (t.pitchLag >= 0.0f) std::snprintf(lag, sizeof lag, "%.2f", double(t.pitchLag));
    char line[320];
    std::snprintf(
        line, sizeof line, "%d,%d,%.4f,%s,%s,%.9g,%d,%d,%d,%.9g,%s,%d,%d,%d,%d,%d,%d,%d\n", t.frame,
        t.sample, double(t.seconds), StateName(t.state), EventName(t.result), double(t.energy),
        t.threshold, t.peakLevel, t.floorLevel, double(t.pitch), lag, t.voiced, t.speechLike,
        t.runLength, t.beginCandidate, t.endCandidate, t.beginSample, t.endSample);
    csv += line;
  }
  return csv;
}
