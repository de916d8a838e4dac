#include "stream.h"

#include "trace_library.h"

namespace {

void KeepTrace(void* user, const DetectorTrace* trace) {
  static_cast<std::vector<DetectorTrace>*>(user)->push_back(*trace);
}

}  // namespace

std::string StreamRecording(const std::vector<int16_t>& samples, int32_t sampleRate,
                            int32_t frameSize, std::optional<int32_t> vadThreshold,
                            StreamResult& result, bool traceFrames) {
  StreamingFunctions tessel = LinkedStreamingFunctions();
  if (traceFrames) {
    if (std::string reason = TraceStreamingFunctions(tessel); !reason.empty()) return reason;
  }
  void* context = tessel.init(sampleRate, frameSize);
  if (!context) {
    return "the library refused a context for " + std::to_string(sampleRate) +
           " Hz with frames of " + std::to_string(frameSize) + " samples";
  }
  if (vadThreshold) tessel.setVADThreshold(context, *vadThreshold);
  if (traceFrames) tessel.setObserver(context, KeepTrace, &result.trace);

  UtteranceTracker tracker;
  const size_t frames = samples.size() / size_t(frameSize);
  for (size_t frame = 0; frame < frames; ++frame) {
    tessel.addSample(context, samples.data() + frame * size_t(frameSize));
    int32_t begin = -1;
    int32_t end = -1;
    tessel.getUttrEPD(context, &begin, &end);
    UtteranceTracker_Observe(tracker, begin, end);
  }
  tessel.release(context);

  result.utterances = UtteranceTracker_Utterances(tracker);
  result.samplesPushed = int64_t(frames) * frameSize;
  return {};
}
