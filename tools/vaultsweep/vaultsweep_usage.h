#pragma once

// Room for the usage text with a tool name of up to kPathChars - 1 characters.
inline constexpr int kUsageChars = 1024;

// Formats Vaultsweep's usage message for the tool named toolName into usage (kUsageChars).
wchar_t* FormatVaultsweepUsage(wchar_t* usage, const wchar_t* toolName);
