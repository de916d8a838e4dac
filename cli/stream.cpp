#include "stream.h"

#include <tessel.h>

namespace {

void KeepTrace(void* user, const DetectorTrace* trace) {
  static_cast<std::vector<DetectorTrace>*>(user)->push_back(*trace);
}

}  // namespace

std::string StreamRecording(const std::vector<int16_t>& samples, int32_t sampleRate,
                            int32_t frameSize, std::optional<int32_t> vadThreshold,
                            StreamResult& result, bool traceFrames) {
  void* context = Tessel_Init(sampleRate, frameSize);
  if (!context) {
    return "the library refused a context for " + std::to_string(sampleRate) +
           " Hz with frames of " + std::to_string(frameSize) + " samples";
  }
  if (vadThreshold) Tessel_SetVADThreshold(context, *vadThreshold);
  if (traceFrames) SnrContext_SetObserver(context, {KeepTrace, &result.trace});

  UtteranceTracker tracker;
  const size_t frames = samples.size() / size_t(frameSize);
  for (size_t frame = 0; frame < frames; ++frame) {
    Tessel_AddSample(context, samples.data() + frame * size_t(frameSize));
    int32_t begin = -1;
    int32_t end = -1;
    Tessel_GetUttrEPD(context, &begin, &end);
    UtteranceTracker_Observe(tracker, begin, end);
  }
  Tessel_Release(context);

  result.utterances = UtteranceTracker_Utterances(tracker);
  result.samplesPushed = int64_t(frames) * frameSize;
  return {};
}
