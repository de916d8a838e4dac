#include "fft/real_fft.h"

#include "fft/fft_tables.h"
#include "fft/real_fft_256.h"

const RealFftConfig kRealFftConfig256 = {256, TwiddleTable, FactorTable, nullptr};

void RealFftForward(const RealFftConfig* config, float* data) {
  if (config->size != 256) return;
  Forward256(data, config->work, config->twiddles);
}

void RealFftBackward(const RealFftConfig* config, float* data) {
  if (config->size != 256) return;
  Backward256(data, config->work, config->twiddles);
}
