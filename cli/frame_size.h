// Which input frame sizes a context accepts, and the ones the command line picks by default.
#pragma once

#include <cstdint>
#include <string>

#include "resample/supported_rates.h"

bool IsSupportedRate(int32_t sampleRate);

// "8000, 11025, 16000, 22050, 44100, 48000", for messages.
std::string SupportedRatesText();

// True when a context for this rate takes frames of this size (the library is asked).
bool IsValidFrameSize(int32_t sampleRate, int32_t frameSize);

// The valid frame size nearest to 10 or 20 ms: for 20 ms the largest not above rate/50, for
// 10 ms the smallest not below rate/100. Returns 0 when the rate has none.
int32_t FrameSizeForMs(int32_t sampleRate, int frameMs);

// Why a frame size is refused at this rate, in one line, as tessel.h explains it; for messages.
std::string FrameSizeRule(int32_t sampleRate);
