#include "resample/rate_converter.h"

#include <cstring>

void RateConverter_Reset(RateConverter* converter) { std::memset(converter, 0, sizeof *converter); }

namespace {
struct RateEntry {
  int32_t rate;
  BlockConverter convert;
};
constexpr RateEntry kConvertersByRate[] = {
    {8000, ConvertBlockFrom8000},   {11025, ConvertBlockFrom11025}, {16000, ConvertBlockFrom16000},
    {22050, ConvertBlockFrom22050}, {44100, ConvertBlockFrom44100}, {48000, ConvertBlockFrom48000},
};
}  // namespace

BlockConverter BlockConverterForRate(int32_t rate) {
  for (const RateEntry& entry : kConvertersByRate) {
    if (entry.rate == rate) return entry.convert;
  }
  return nullptr;
}
