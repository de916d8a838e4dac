#include "win_tool/usage_gate.h"

#include "win_tool/command_line.h"
#include "win_tool/tool_limits.h"
#include "win_tool/tool_name.h"

bool AppNameReadyOrUsage(HWND window, UsageFormatter formatUsage) {
  switch (JudgeAppName(AppName, AppNameRefused)) {
    case AppNameUse::Missing: {
      wchar_t toolName[kPathChars];
      wchar_t usage[kUsageChars];
      formatUsage(usage, GetToolName(toolName));
      MessageBoxW(window, usage, nullptr, MB_OK);
      return false;
    }
    case AppNameUse::Refused:
      return false;
    case AppNameUse::Usable:
      break;
  }
  return true;
}
