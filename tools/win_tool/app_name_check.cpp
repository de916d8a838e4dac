#include <cwchar>

#include "win_tool/app_name.h"

static bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// A colon covers drive letters, device paths and alternate data streams alike; the others are
// wildcards or characters that no file name may hold.
static bool IsForbidden(wchar_t c) { return c < 0x20 || std::wcschr(L"*?<>|:\"", c) != nullptr; }

// "..", and anything the platform might trim down to it, such as ".. " or "...".
static bool IsDotsAndSpaces(const wchar_t* begin, const wchar_t* end) {
  if (begin == end) return false;
  for (const wchar_t* c = begin; c != end; ++c) {
    if (*c != L'.' && *c != L' ') return false;
  }
  return true;
}

bool IsSafeAppName(const wchar_t* name) {
  if (name == nullptr || name[0] == L'\0' || IsSeparator(name[0])) return false;
  if (std::wcslen(name) >= size_t(kPathChars)) return false;
  const wchar_t* component = name;
  for (const wchar_t* c = name;; ++c) {
    if (*c == L'\0' || IsSeparator(*c)) {
      if (IsDotsAndSpaces(component, c)) return false;
      if (*c == L'\0') return true;
      component = c + 1;
    } else if (IsForbidden(*c)) {
      return false;
    }
  }
}
