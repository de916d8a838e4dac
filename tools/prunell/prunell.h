#pragma once

#include "win_tool/tool_limits.h"

// Fills base (kPathChars characters) with the program-files directory the application folders
// are named relative to: "%ProgramFiles(x86)%" if that variable is defined, otherwise
// "%ProgramFiles%". Returns false when neither is defined, or when the chosen one does not fit
// or does not expand to an absolute folder; the job must then do nothing.
bool ChooseBaseFolder(wchar_t* base);

// Prunell's job for one application below base: deletes the clone DLLs in its dll folder, then
// prunes the Linkport.ini there. appName must have passed IsSafeAppName. A step whose path
// would not fit a path buffer is skipped.
void CleanApplication(const wchar_t* base, const wchar_t* appName);

// Formats Prunell's usage message for the tool named toolName into usage (kUsageChars).
wchar_t* FormatPrunellUsage(wchar_t* usage, const wchar_t* toolName);
