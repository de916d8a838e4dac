#pragma once

#include "win_tool/tool_limits.h"

// Formats Prunell's usage message for the tool named toolName into usage (kUsageChars).
wchar_t* FormatPrunellUsage(wchar_t* usage, const wchar_t* toolName);
