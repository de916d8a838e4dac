// Vaultsweep's job: the virtual-store copies of the named application's Linkport.ini.

#include "win_tool/run_cleanup.h"

#include <shlobj.h>

#include "win_tool/command_line.h"
#include "win_tool/usage_gate.h"
#include "vaultsweep/sweep_virtual_store.h"
#include "vaultsweep/vaultsweep_usage.h"

void RunCleanup(HWND window) {
  if (!AppNameReadyOrUsage(window, FormatVaultsweepUsage)) return;
  wchar_t localAppData[kPathChars];
  if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData) !=
      S_OK) {
    return;
  }
  SweepVirtualStore(localAppData, AppName);
}
