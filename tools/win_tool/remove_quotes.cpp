#include "win_tool/remove_quotes.h"

wchar_t* RemoveQuotes(wchar_t* text) {
  if (text == nullptr) return nullptr;
  wchar_t* out = text;
  for (const wchar_t* in = text; *in != L'\0'; ++in) {
    if (*in != L'"') *out++ = *in;
  }
  *out = L'\0';
  return text;
}
