#pragma once

// Every path and the application name live in buffers of this many characters, terminator
// included. Nothing is ever cut to fit: what does not fit is refused.
inline constexpr int kPathChars = 260;

// Room for a usage text with a tool name of up to kPathChars - 1 characters.
inline constexpr int kUsageChars = 1024;
