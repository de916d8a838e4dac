#pragma once

#include <windows.h>

// The tool's one job, supplied by each tool's job library. Runs once, on the only thread, with
// the message loop already running; window owns any message box the job shows.
void RunCleanup(HWND window);
