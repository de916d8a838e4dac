// The input rates a context takes, in Hz. The converters' table follows this order, and the
// command line names them from here in its messages.
#pragma once

#include <cstdint>

inline constexpr int32_t kSupportedRates[] = {8000, 11025, 16000, 22050, 44100, 48000};
