#include "prunell/base_folder.h"

#include <windows.h>

#include <cwchar>

#include "win_tool/tool_limits.h"

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
