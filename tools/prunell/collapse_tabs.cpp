#include "prunell/collapse_tabs.h"

wchar_t* CollapseTabs(wchar_t* text) {
  wchar_t* out = text;
  const wchar_t* in = text;
  while (*in != L'\0') {
    if (in[0] == L'\t' && in[1] == L'\t') {
      *out++ = L'\t';
      in += 2;
    } else {
      *out++ = *in++;
    }
  }
  *out = L'\0';
  return text;
}
