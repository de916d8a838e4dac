#pragma once

#include "win_tool/tool_limits.h"

// Formats Vaultsweep's usage message for the tool named toolName into usage (kUsageChars).
wchar_t* FormatVaultsweepUsage(wchar_t* usage, const wchar_t* toolName);
