#include "win_tool/trim_blanks.h"

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
