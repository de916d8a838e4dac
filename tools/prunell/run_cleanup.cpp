// Prunell's job: clone DLLs and Linkport.ini of the application named on the command line.

#include "win_tool/run_cleanup.h"

#include "prunell/base_folder.h"
#include "prunell/clean_application.h"
#include "prunell/prunell_usage.h"
#include "win_tool/command_line.h"
#include "win_tool/usage_gate.h"

void RunCleanup(HWND window) {
  if (!AppNameReadyOrUsage(window, FormatPrunellUsage)) return;
  wchar_t base[kPathChars];
  if (ChooseBaseFolder(base)) CleanApplication(base, AppName);
}
