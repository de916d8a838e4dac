// Creating, restarting, tuning and freeing a context.
#include <cstdlib>
#include <cstring>

#include "context/context_allocation.h"
#include "context/stream_context.h"
#include "tessel.h"

ContextAllocateFunction contextAllocate = std::malloc;
ContextFreeFunction contextFree = std::free;

namespace {

SnrContext* ContextFromHandle(void* handle) { return static_cast<SnrContext*>(handle); }

// frameSize input samples as 8 kHz samples, truncated, then raised to even.
int32_t FrameSize8k(int32_t sampleRate, int32_t frameSize) {
  const int32_t size = int32_t(int64_t(frameSize) * 8000 / sampleRate);
  return size % 2 != 0 ? size + 1 : size;
}

}  // namespace

extern "C" TESSEL_API void* TESSEL_CALL Tessel_Init(int32_t sampleRate, int32_t frameSize) {
  if (frameSize < sampleRate / 100 || frameSize > sampleRate / 50 || frameSize % 2 != 0) {
    return nullptr;
  }
  // An unsupported rate is refused before anything is taken.
  const BlockConverter convertSamples = BlockConverterForRate(sampleRate);
  if (convertSamples == nullptr) return nullptr;

  SnrContext* context = static_cast<SnrContext*>(contextAllocate(sizeof(SnrContext)));
  if (context == nullptr) return nullptr;
  std::memset(context, 0, sizeof *context);
  context->inputRate = sampleRate;
  context->inputFrameSize = frameSize;
  context->convertSamples = convertSamples;

  context->converter = static_cast<RateConverter*>(contextAllocate(sizeof(RateConverter)));
  if (context->converter == nullptr) {
    Tessel_Release(context);
    return nullptr;
  }
  RateConverter_Reset(context->converter);

  context->frameSize8k = FrameSize8k(sampleRate, frameSize);
  context->detectorWorkSize = EndpointDetector_WorkSize(8000, context->frameSize8k);
  if (context->detectorWorkSize <= 0) {
    Tessel_Release(context);
    return nullptr;
  }
  const int32_t frameBytes = 2 * context->frameSize8k;
  context->workBlock = contextAllocate(size_t(frameBytes) + size_t(context->detectorWorkSize));
  if (context->workBlock == nullptr) {
    Tessel_Release(context);
    return nullptr;
  }
  context->frameBuffer = static_cast<int16_t*>(context->workBlock);

  // Why the detector refuses is not passed on: the host only learns that creation failed.
  context->detector = EndpointDetector_Init(8000, context->frameSize8k,
                                            static_cast<char*>(context->workBlock) + frameBytes,
                                            context->detectorWorkSize, nullptr);
  if (context->detector == nullptr) {
    Tessel_Release(context);
    return nullptr;
  }
  Tessel_Reset(context);
  return context;
}

extern "C" TESSEL_API int32_t TESSEL_CALL Tessel_Release(void* handle) {
  SnrContext* context = ContextFromHandle(handle);
  if (context == nullptr) return -1;
  contextFree(context->converter);
  EndpointDetector_Release(context->detector);
  contextFree(context->workBlock);
  contextFree(context);
  return 0;
}

extern "C" TESSEL_API int32_t TESSEL_CALL Tessel_Reset(void* handle) {
  SnrContext* context = ContextFromHandle(handle);
  if (context == nullptr) return -1;
  RateConverter_Reset(context->converter);
  EndpointDetector_Reset(context->detector);
  context->beginTime = -1.0f;
  context->endTime = -1.0f;
  context->frameFill = 0;
  context->samplesDone = 0;
  return 0;
}

extern "C" TESSEL_API int32_t TESSEL_CALL Tessel_SetVADThreshold(void* handle,
                                                                 int32_t vadThreshold) {
  SnrContext* context = ContextFromHandle(handle);
  if (context == nullptr) return -1;
  EndpointDetector_SetMinThreshold(context->detector, vadThreshold);
  return 0;
}
