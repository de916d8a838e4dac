// Vaultsweep's job: the virtual-store copies of the named application's Linkport.ini.

#include "vaultsweep/vaultsweep.h"

#include <windows.h>

#include <shlobj.h>

#include "win_tool/command_line.h"
#include "win_tool/compose_path.h"
#include "win_tool/run_cleanup.h"
#include "win_tool/usage_gate.h"

// The store mirrors the 32-bit program-files folder under this fixed name on every system.
static constexpr const wchar_t* kStoredCopies[] = {
    L"%s\\VirtualStore\\Program Files (x86)\\%s\\Linkport.ini",
    L"%s\\VirtualStore\\Program Files (x86)\\%s\\dll\\Linkport.ini",
};

void SweepVirtualStore(const wchar_t* localAppData, const wchar_t* appName) {
  for (const wchar_t* pathTemplate : kStoredCopies) {
    wchar_t path[kPathChars];
    if (ComposePath(path, pathTemplate, localAppData, appName)) DeleteFileW(path);
  }
}

// The text users and installers already know: its misspelling and the blanks before the line
// break are deliberate, keep them exactly.
wchar_t* FormatVaultsweepUsage(wchar_t* usage, const wchar_t* toolName) {
  wsprintfW(usage,
            L"Delete Linkport.ini of the specified applicationin hidden in the virtual store."
            L"\t\t\t\t\t\t  \nUsage: %s <application>\nExample: %s Marloth\\Quorvane",
            toolName, toolName);
  return usage;
}

void RunCleanup(HWND window) {
  if (!AppNameReadyOrUsage(window, FormatVaultsweepUsage)) return;
  wchar_t localAppData[kPathChars];
  if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData) !=
      S_OK) {
    return;
  }
  SweepVirtualStore(localAppData, AppName);
}
