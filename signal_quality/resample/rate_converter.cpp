#include "resample/rate_converter.h"

#include <cstring>
#include <iterator>

#include "resample/supported_rates.h"

void RateConverter_Reset(RateConverter* converter) { std::memset(converter, 0, sizeof *converter); }

namespace {
// One converter per supported rate, in the order of kSupportedRates.
constexpr BlockConverter kConvertersByRate[] = {
    ConvertBlockFrom8000,  ConvertBlockFrom11025, ConvertBlockFrom16000,
    ConvertBlockFrom22050, ConvertBlockFrom44100, ConvertBlockFrom48000,
};
static_assert(std::size(kConvertersByRate) == std::size(kSupportedRates));
}  // namespace

BlockConverter BlockConverterForRate(int32_t rate) {
  for (size_t i = 0; i < std::size(kSupportedRates); ++i) {
    if (kSupportedRates[i] == rate) return kConvertersByRate[i];
  }
  return nullptr;
}
