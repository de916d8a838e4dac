#include "prunell/prunell_usage.h"

#include <windows.h>

wchar_t* FormatPrunellUsage(wchar_t* usage, const wchar_t* toolName) {
  wsprintfW(usage, L"%s\nUsage: %s <application>\nExample: %s \"Marloth\\Quorvane\"",
            L"Delete all the Linkport-clone DLLs in the application's dll folder, and remvoe "
            L"lines starting with \"QRX_libUart\" in Linkport.ini.",
            toolName, toolName);
  return usage;
}
