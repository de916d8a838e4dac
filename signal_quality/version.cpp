#include "tessel.h"

namespace {
// The first line is fixed: hosts compare it to identify the library.
constexpr char kVersionBanner[] =
    "Tessel_Lib v1.0.0 (compiled at Sep 15 2017)\n"
    "Copyright (c) the Tessel maintainers. All rights reserved.\n";
}  // namespace

extern "C" TESSEL_API const char* TESSEL_CALL Tessel_VerInfo(void) { return kVersionBanner; }
