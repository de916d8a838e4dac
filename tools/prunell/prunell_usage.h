#pragma once

#include "shell/tool_limits.h"

// Formats Prunell's usage message for the tool named toolName into usage (kUsageChars).
wchar_t* FormatPrunellUsage(wchar_t* usage, const wchar_t* toolName);
