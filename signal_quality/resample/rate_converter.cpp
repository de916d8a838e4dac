#include "resample/rate_converter.h"

#include <cstring>

void RateConverter_Reset(RateConverter* converter) { std::memset(converter, 0, sizeof *converter); }

// At 8000 Hz the phase step turns every input into an output, one sample late: the output is
// the previous value at fraction 0.
bool ConvertFrom8000(RateConverter* converter, int16_t sample, int16_t* output) {
  return AdvancePhase(converter, 1, double(sample), 1, output);
}

namespace {
struct RateEntry {
  int32_t rate;
  SampleConverter convert;
  BlockConverter convertBlock;
};
constexpr RateEntry kConvertersByRate[] = {
    {8000, ConvertFrom8000, ConvertBlockFrom8000},
    {11025, ConvertFrom11025, ConvertBlockFrom11025},
    {16000, ConvertFrom16000, ConvertBlockFrom16000},
    {22050, ConvertFrom22050, ConvertBlockFrom22050},
    {44100, ConvertFrom44100, ConvertBlockFrom44100},
    {48000, ConvertFrom48000, ConvertBlockFrom48000},
};

const RateEntry* EntryForRate(int32_t rate) {
  for (const RateEntry& entry : kConvertersByRate) {
    if (entry.rate == rate) return &entry;
  }
  return nullptr;
}
}  // namespace

SampleConverter ConverterForRate(int32_t rate) {
  const RateEntry* entry = EntryForRate(rate);
  return entry == nullptr ? nullptr : entry->convert;
}

BlockConverter BlockConverterForRate(int32_t rate) {
  const RateEntry* entry = EntryForRate(rate);
  return entry == nullptr ? nullptr : entry->convertBlock;
}
