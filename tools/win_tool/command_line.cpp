#include "win_tool/command_line.h"

#include <cwchar>

static bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

wchar_t* TrimBlanks(wchar_t* text) {
  if (text == nullptr) return nullptr;
  while (IsBlank(*text)) ++text;
  wchar_t* end = text + std::wcslen(text);
  while (end > text && IsBlank(end[-1])) --end;
  *end = L'\0';
  return text;
}

// Removes every double quote from text in place, closing the gaps, and returns text.
// Null in gives null out.
static wchar_t* RemoveQuotes(wchar_t* text) {
  if (text == nullptr) return nullptr;
  wchar_t* out = text;
  for (const wchar_t* in = text; *in != L'\0'; ++in) {
    if (*in != L'"') *out++ = *in;
  }
  *out = L'\0';
  return text;
}

wchar_t AppName[kPathChars];
bool AppNameRefused;

bool FillAppName(wchar_t* appName, wchar_t* tail) {
  appName[0] = L'\0';
  if (tail == nullptr) return true;
  const wchar_t* name = RemoveQuotes(TrimBlanks(tail));
  const size_t length = std::wcslen(name);
  if (length >= size_t(kPathChars)) return false;
  std::wmemcpy(appName, name, length + 1);
  return true;
}

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

AppNameUse JudgeAppName(const wchar_t* appName, bool refused) {
  if (refused) return AppNameUse::Refused;
  if (appName[0] == L'\0') return AppNameUse::Missing;
  return IsSafeAppName(appName) ? AppNameUse::Usable : AppNameUse::Refused;
}
