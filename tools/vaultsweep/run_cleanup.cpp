// Vaultsweep's job: the virtual-store copies of the named application's Linkport.ini.

#include "shell/run_cleanup.h"

#include <shlobj.h>

#include "shell/app_name.h"
#include "shell/tool_name.h"
#include "vaultsweep/sweep_virtual_store.h"
#include "vaultsweep/vaultsweep_usage.h"

void RunCleanup(HWND window) {
  switch (JudgeAppName(AppName, AppNameRefused)) {
    case AppNameUse::Missing: {
      wchar_t toolName[kPathChars];
      wchar_t usage[kUsageChars];
      FormatVaultsweepUsage(usage, GetToolName(toolName));
      MessageBoxW(window, usage, nullptr, MB_OK);
      return;
    }
    case AppNameUse::Refused:
      return;
    case AppNameUse::Usable:
      break;
  }
  wchar_t localAppData[kPathChars];
  if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData) !=
      S_OK) {
    return;
  }
  SweepVirtualStore(localAppData, AppName);
}
