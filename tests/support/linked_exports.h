#pragma once

#include "support/stream_runner.h"
#include "tessel.h"

// The streaming exports of the library that the test program links (natively the shared
// library or the areas, under wine the areas).
inline constexpr stream_runner::Exports kLinkedExports = {
    Tessel_Init,      Tessel_Release,    Tessel_Reset,
    Tessel_AddSample, Tessel_GetUttrEPD, Tessel_SetVADThreshold};
