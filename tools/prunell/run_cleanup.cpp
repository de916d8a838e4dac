// Prunell's job: clone DLLs and Linkport.ini of the application named on the command line.

#include "shell/run_cleanup.h"

#include "prunell/base_folder.h"
#include "prunell/clean_application.h"
#include "prunell/prunell_usage.h"
#include "shell/app_name.h"
#include "shell/tool_name.h"

void RunCleanup(HWND window) {
  switch (JudgeAppName(AppName, AppNameRefused)) {
    case AppNameUse::Missing: {
      wchar_t toolName[kPathChars];
      wchar_t usage[kUsageChars];
      FormatPrunellUsage(usage, GetToolName(toolName));
      MessageBoxW(window, usage, nullptr, MB_OK);
      return;
    }
    case AppNameUse::Refused:
      return;
    case AppNameUse::Usable:
      break;
  }
  wchar_t base[kPathChars];
  if (ChooseBaseFolder(base)) CleanApplication(base, AppName);
}
