#pragma once

#include "win_tool/tool_limits.h"

// Deletes the two copies of the application's Linkport.ini that the platform may keep in the
// virtual store below localAppData: the application folder's and its dll folder's. appName must
// have passed IsSafeAppName. A missing copy does not stop the other; a path that would not fit
// a path buffer is skipped. No folder is removed and nothing is reported.
void SweepVirtualStore(const wchar_t* localAppData, const wchar_t* appName);

// Formats Vaultsweep's usage message for the tool named toolName into usage (kUsageChars).
wchar_t* FormatVaultsweepUsage(wchar_t* usage, const wchar_t* toolName);
