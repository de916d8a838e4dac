#include "snr_measure.h"

#include <tessel.h>

SnrMeasure MeasureSnr(const std::vector<int16_t>& samples) {
  SnrMeasure measure;
  // The estimate needs no context, only a non-null handle.
  static int anyHandle;
  const int32_t count = int32_t(samples.size());
  if (Tessel_GetSNR(&anyHandle, samples.data(), count, &measure.spanBegin, &measure.spanEnd,
                    &measure.snrDb) != 0) {
    return {};
  }
  // Frames of 256 samples must end before the last sample, so 256 samples hold none.
  measure.measurable = count > 256;
  measure.hasSpan = measure.measurable && measure.spanEnd > measure.spanBegin;
  return measure;
}
