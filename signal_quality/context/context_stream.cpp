// Pushing input frames through the converter into 8 kHz frames for the detector, and
// reading the utterance back in input samples.
#include <cstdint>

#include "context/stream_context.h"
#include "context/utterance_times.h"
#include "tessel.h"

namespace {

// Stores the time of a begin or an end that the step declared.
void StoreUtteranceTime(SnrContext* context, int32_t result) {
  if (result == kEndpointBegin) {
    const int32_t framesBack = EndpointDetector_FramesSinceBegin(context->detector);
    context->beginTime = UtteranceBeginTime(context->samplesDone, framesBack, context->frameSize8k);
  } else if (result == kEndpointEnd) {
    context->endTime = UtteranceEndTime(context->samplesDone, context->beginTime);
  }
}

// After an end the detector looks for the next utterance from the next frame on.
void FinishFrame(SnrContext* context, int32_t result) {
  if (result == kEndpointEnd) EndpointDetector_Rearm(context->detector);
  context->frameFill -= context->frameSize8k;
  context->samplesDone += context->frameSize8k;
}

// Kept out of line so that the loop over the samples of a stream nobody watches stays as it
// is, with one test of the observer per frame.
[[gnu::noinline]] void StepDetectorObserved(SnrContext* context) {
  FrameAnalysis analysis{};
  const int32_t result =
      EndpointDetector_StepTraced(context->detector, context->frameBuffer, &analysis);
  StoreUtteranceTime(context, result);
  const DetectorTrace trace = SnrContext_TraceFrame(context, result, analysis);
  context->observer.notify(context->observer.user, &trace);
  FinishFrame(context, result);
}

void StepDetector(SnrContext* context) {
  if (context->observer.notify != nullptr) [[unlikely]] {
    StepDetectorObserved(context);
    return;
  }
  const int32_t result = EndpointDetector_Step(context->detector, context->frameBuffer);
  StoreUtteranceTime(context, result);
  FinishFrame(context, result);
}

}  // namespace

extern "C" TESSEL_API int32_t TESSEL_CALL Tessel_AddSample(void* handle, const int16_t* samples) {
  SnrContext* context = static_cast<SnrContext*>(handle);
  if (context == nullptr || samples == nullptr) return -1;
  const BlockConverter convert = context->convertSamples;
  RateConverter* const converter = context->converter;
  int16_t* const frame = context->frameBuffer;
  const int16_t* next = samples;
  for (int32_t left = context->inputFrameSize; left > 0;) {
    // The inputs that complete the frame, or all that are left: the converter writes straight
    // into the frame, and a frame that completes in the middle of the call is stepped before
    // the rest of the call's samples start the next one.
    const int32_t needed = RateConverter_InputsFor(converter, context->inputRate,
                                                   context->frameSize8k - context->frameFill);
    const int32_t take = needed < left ? needed : left;
    context->frameFill += convert(converter, next, take, frame + context->frameFill);
    next += take;
    left -= take;
    if (context->frameFill >= context->frameSize8k) StepDetector(context);
  }
  return context->endTime >= 0.0f ? 1 : 0;
}

extern "C" TESSEL_API int32_t TESSEL_CALL Tessel_GetUttrEPD(void* handle, int32_t* beginSample,
                                                            int32_t* endSample) {
  const SnrContext* context = static_cast<const SnrContext*>(handle);
  if (context == nullptr) return -1;
  if (beginSample != nullptr) *beginSample = InputSamplesAt(context->inputRate, context->beginTime);
  if (endSample != nullptr) *endSample = InputSamplesAt(context->inputRate, context->endTime);
  return 0;
}
