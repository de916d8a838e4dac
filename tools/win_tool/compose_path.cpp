#include "win_tool/compose_path.h"

#include <windows.h>

#include <cwchar>

#include "win_tool/tool_limits.h"

bool ComposePath(wchar_t* out, const wchar_t* pathTemplate, const wchar_t* first,
                 const wchar_t* second) {
  out[0] = L'\0';
  const wchar_t* arguments[2] = {first, second};
  size_t length = 0;
  int used = 0;
  for (const wchar_t* c = pathTemplate; *c != L'\0'; ++c) {
    if (c[0] == L'%' && c[1] == L's') {
      if (used == 2 || arguments[used] == nullptr) return false;
      length += std::wcslen(arguments[used++]);
      ++c;
    } else if (c[0] == L'%') {
      return false;
    } else {
      ++length;
    }
  }
  if (length >= size_t(kPathChars)) return false;
  wsprintfW(out, pathTemplate, first, second);
  return true;
}
