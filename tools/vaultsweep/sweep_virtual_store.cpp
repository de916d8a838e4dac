#include "vaultsweep/sweep_virtual_store.h"

#include <windows.h>

#include "win_tool/compose_path.h"
#include "win_tool/tool_limits.h"

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
