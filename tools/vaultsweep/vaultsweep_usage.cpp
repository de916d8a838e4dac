#include "vaultsweep/vaultsweep_usage.h"

#include <windows.h>

wchar_t* FormatVaultsweepUsage(wchar_t* usage, const wchar_t* toolName) {
  wsprintfW(usage,
            L"Delete Linkport.ini of the specified applicationin hidden in the virtual store."
            L"\t\t\t\t\t\t  \nUsage: %s <application>\nExample: %s Marloth\\Quorvane",
            toolName, toolName);
  return usage;
}
