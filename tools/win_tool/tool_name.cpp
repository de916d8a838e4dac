#include "win_tool/tool_name.h"

#include <windows.h>

#include <cwchar>

#include "win_tool/tool_limits.h"

wchar_t* GetToolName(wchar_t* buffer) {
  DWORD length = GetModuleFileNameW(nullptr, buffer, kPathChars);
  // A path that does not fit comes back cut and, on older systems, unterminated.
  if (length >= DWORD(kPathChars)) length = kPathChars - 1;
  buffer[length] = L'\0';
  return StripToolName(buffer);
}

wchar_t* StripToolName(wchar_t* buffer) {
  size_t length = std::wcslen(buffer);
  if (length >= 4 && _wcsicmp(buffer + length - 4, L".exe") == 0) {
    length -= 4;
    buffer[length] = L'\0';
  }
  size_t start = length;
  while (start > 0 && buffer[start - 1] != L'\\' && buffer[start - 1] != L'/') --start;
  if (start > 0) std::wmemmove(buffer, buffer + start, length - start + 1);
  return buffer;
}
