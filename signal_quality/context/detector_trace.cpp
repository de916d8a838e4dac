// The frame-by-frame record of a context's detector, built only while an observer watches.
#include <algorithm>
#include <cstdint>

#include "context/detector_observer.h"
#include "context/stream_context.h"
#include "context/utterance_times.h"
#include "endpoint/analysis_shape.h"
#include "endpoint/utterance_decision.h"

namespace {

int32_t DetectorState(const EndpointDetector* detector) {
  if (detector->framesSeen < detector->warmupFrames) return kDetectorFilling;
  if (detector->endFrame != 0) return kDetectorEnded;
  if (detector->beginFrame != 0) return kDetectorInUtterance;
  return kDetectorWaiting;
}

// While waiting, preBeginFrames is exactly the lookback a begin declared by the next
// speech-like frames would take, counted back from this frame.
int32_t BeginCandidate(const SnrContext* context, int32_t state) {
  const EndpointDetector* detector = context->detector;
  if (state == kDetectorFilling) return -1;
  if (state == kDetectorWaiting) {
    return InputSamplesAt(
        context->inputRate,
        UtteranceBeginTime(context->samplesDone, detector->preBeginFrames, context->frameSize8k));
  }
  return InputSamplesAt(context->inputRate, context->beginTime);
}

// Inside an utterance the end is declared on the frame where the run of frames that are not
// speech-like reaches endHangover; the context then places it as for any end.
int32_t EndCandidate(const SnrContext* context, int32_t state) {
  const EndpointDetector* detector = context->detector;
  if (state == kDetectorEnded) return InputSamplesAt(context->inputRate, context->endTime);
  if (state != kDetectorInUtterance) return -1;
  const int64_t declared =
      context->samplesDone +
      int64_t(detector->endHangover - detector->runLength) * context->frameSize8k;
  return InputSamplesAt(context->inputRate, UtteranceEndTime(declared, context->beginTime));
}

}  // namespace

int32_t SnrContext_SetObserver(void* handle, DetectorObserver observer) {
  SnrContext* context = static_cast<SnrContext*>(handle);
  if (context == nullptr) return -1;
  context->observer = observer;
  return 0;
}

DetectorTrace SnrContext_TraceFrame(const SnrContext* context, int32_t result,
                                    const FrameAnalysis& analysis) {
  const EndpointDetector* detector = context->detector;
  const int32_t state = DetectorState(detector);
  const int32_t analysisRate =
      ComputeAnalysisShape(detector->rate, detector->frameLength).analysisRate;
  const bool hasPitch = analysis.pitch > 0.0f;

  DetectorTrace trace{};
  trace.frame = detector->framesSeen;
  // Counted exactly: only the begin and end go through single-precision seconds, as the
  // exported interface reports them.
  trace.sample =
      int32_t(std::min<int64_t>(context->samplesDone * context->inputRate / 8000, INT32_MAX));
  trace.seconds = float(double(context->samplesDone) / 8000.0);
  trace.state = state;
  trace.result = result;
  trace.energy = analysis.energy;
  trace.threshold = detector->threshold;
  trace.peakLevel = detector->peakLevel;
  trace.floorLevel = detector->floorLevel;
  trace.pitch = analysis.pitch;
  trace.pitchLag = hasPitch ? float(double(analysisRate) / double(analysis.pitch)) : -1.0f;
  trace.voiced = IsVoiced(analysis.pitch) ? 1 : 0;
  trace.speechLike =
      state != kDetectorFilling && IsSpeechLike(detector, analysis.pitch, int32_t(analysis.energy))
          ? 1
          : 0;
  trace.runLength = detector->runLength;
  trace.beginCandidate = BeginCandidate(context, state);
  trace.endCandidate = EndCandidate(context, state);
  trace.beginSample = InputSamplesAt(context->inputRate, context->beginTime);
  trace.endSample = InputSamplesAt(context->inputRate, context->endTime);
  return trace;
}
