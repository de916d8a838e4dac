#include "snr/snr_estimator.h"
#include "tessel.h"

extern "C" TESSEL_API int32_t TESSEL_CALL Tessel_GetSNR(void* handle, const int16_t* samples,
                                                        int32_t count, int32_t* spanBegin,
                                                        int32_t* spanEnd, float* snrDb) {
  if (handle == nullptr) return -1;
  if (samples == nullptr && count > 0) return -1;

  const SnrEstimate estimate = EstimateSnr(samples, count);
  // Without a frame nothing is measurable: report an empty span and 0 dB.
  const int32_t begin = estimate.hasSpan ? estimate.spanBegin : 0;
  const int32_t end = estimate.hasSpan ? estimate.spanEnd : 0;
  const float snr =
      estimate.hasSpan ? static_cast<float>(estimate.speechLevelDb - estimate.noiseLevelDb) : 0.0f;

  if (spanBegin != nullptr) *spanBegin = begin;
  if (spanEnd != nullptr) *spanEnd = end;
  if (snrDb != nullptr) *snrDb = snr;
  return 0;
}
