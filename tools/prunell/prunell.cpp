// Prunell's job: clone DLLs and Linkport.ini of the application named on the command line.

#include "prunell/prunell.h"

#include <windows.h>

#include <cwchar>

#include "prunell/clone_dlls.h"
#include "prunell/linkport_ini.h"
#include "win_tool/command_line.h"
#include "win_tool/compose_path.h"
#include "win_tool/run_cleanup.h"
#include "win_tool/usage_gate.h"

enum class Expansion { Undefined, Usable, Unusable };

// "X:\" or a UNC "\\": anything else would be resolved against the current folder or drive.
static bool IsAbsoluteFolder(const wchar_t* path) {
  auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  const bool drive =
      ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
      path[1] == L':' && separator(path[2]);
  return drive || (separator(path[0]) && separator(path[1]));
}

// A variable that is not defined comes back unexpanded; only that comparison tells.
static Expansion Expand(const wchar_t* variable, wchar_t* base) {
  const DWORD needed = ExpandEnvironmentStringsW(variable, base, kPathChars);
  if (needed == 0 || needed > DWORD(kPathChars)) {
    base[0] = L'\0';
    return Expansion::Unusable;
  }
  if (std::wcscmp(base, variable) == 0) return Expansion::Undefined;
  return IsAbsoluteFolder(base) ? Expansion::Usable : Expansion::Unusable;
}

bool ChooseBaseFolder(wchar_t* base) {
  Expansion expansion = Expand(L"%ProgramFiles(x86)%", base);
  if (expansion == Expansion::Undefined) expansion = Expand(L"%ProgramFiles%", base);
  if (expansion == Expansion::Usable) return true;
  base[0] = L'\0';
  return false;
}

void CleanApplication(const wchar_t* base, const wchar_t* appName) {
  wchar_t dllFolder[kPathChars];
  if (ComposePath(dllFolder, L"%s\\%s\\dll", base, appName)) DeleteCloneDlls(dllFolder);
  wchar_t iniPath[kPathChars];
  if (ComposePath(iniPath, L"%s\\%s\\dll\\Linkport.ini", base, appName)) {
    PruneLinkportIni(iniPath);
  }
}

// The text users and installers already know: its misspelling is deliberate, keep it exactly.
wchar_t* FormatPrunellUsage(wchar_t* usage, const wchar_t* toolName) {
  wsprintfW(usage, L"%s\nUsage: %s <application>\nExample: %s \"Marloth\\Quorvane\"",
            L"Delete all the Linkport-clone DLLs in the application's dll folder, and remvoe "
            L"lines starting with \"QRX_libUart\" in Linkport.ini.",
            toolName, toolName);
  return usage;
}

void RunCleanup(HWND window) {
  if (!AppNameReadyOrUsage(window, FormatPrunellUsage)) return;
  wchar_t base[kPathChars];
  if (ChooseBaseFolder(base)) CleanApplication(base, AppName);
}
