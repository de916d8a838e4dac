#pragma once

#include <windows.h>

// Formats a tool's usage message for the tool named toolName into usage (kUsageChars).
using UsageFormatter = wchar_t* (*)(wchar_t* usage, const wchar_t* toolName);

// The start of every job: with no application named, shows the usage message (owned by
// window, no caption, one OK button) and returns false; with a refused name returns false
// and shows nothing; otherwise returns true and the job goes on with AppName.
bool AppNameReadyOrUsage(HWND window, UsageFormatter formatUsage);
