#include "prunell/clone_dlls.h"

#include <windows.h>

#include <cwchar>

#include "win_tool/compose_path.h"
#include "win_tool/tool_limits.h"

static constexpr const wchar_t* kSparedNames[] = {
    L"QRX_libAdb.dll",
    L"QRX_libTR16DSP.dll",
    L"QRX_libGPCE4.dll",
};

static bool IsSpared(const wchar_t* name) {
  for (const wchar_t* spared : kSparedNames) {
    if (_wcsicmp(name, spared) == 0) return true;
  }
  return false;
}

// The search also matches short 8.3 names; only a long name that itself fits the pattern is a
// clone.
static bool IsCloneName(const wchar_t* name) {
  const size_t length = std::wcslen(name);
  return length >= 11 && _wcsnicmp(name, L"QRX_lib", 7) == 0 &&
         _wcsicmp(name + length - 4, L".dll") == 0;
}

void DeleteCloneDlls(const wchar_t* dllFolder) {
  const DWORD attributes = GetFileAttributesW(dllFolder);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return;
  }
  wchar_t pattern[kPathChars];
  if (!ComposePath(pattern, L"%s\\QRX_lib*.dll", dllFolder)) return;

  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (IsSpared(found.cFileName) || !IsCloneName(found.cFileName)) continue;
    wchar_t filePath[kPathChars];
    if (ComposePath(filePath, L"%s\\%s", dllFolder, found.cFileName)) DeleteFileW(filePath);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}
