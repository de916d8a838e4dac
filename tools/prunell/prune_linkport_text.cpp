#include "prunell/prune_linkport_text.h"

#include <cwchar>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "prunell/collapse_tabs.h"
#include "prunell/device_line.h"
#include "win_tool/command_line.h"

static bool IsLineBreak(wchar_t c) { return c == L'\r' || c == L'\n'; }

static size_t CollapseAllTabRuns(wchar_t* line) {
  size_t length = std::wcslen(line);
  for (;;) {
    const size_t shorter = std::wcslen(CollapseTabs(line));
    if (shorter == length) return length;
    length = shorter;
  }
}

std::wstring PruneLinkportText(wchar_t* text) {
  // Lines stay where they were read; the table only points at them. It has no fixed size, so
  // no line is ever dropped for want of room.
  std::vector<const wchar_t*> keptLines;
  std::unordered_set<std::wstring_view> seen;

  wchar_t* c = text;
  for (;;) {
    while (IsLineBreak(*c)) ++c;
    if (*c == L'\0') break;
    wchar_t* line = c;
    while (*c != L'\0' && !IsLineBreak(*c)) ++c;
    if (*c != L'\0') *c++ = L'\0';

    wchar_t* trimmed = TrimBlanks(line);
    if (std::wcsncmp(trimmed, L"QRX_libUart", 11) == 0) continue;
    const size_t length = CollapseAllTabRuns(trimmed);
    if (seen.insert(std::wstring_view(trimmed, length)).second) keptLines.push_back(trimmed);
  }

  std::wstring output;
  for (const wchar_t* line : keptLines) {
    if (!IsDeviceLine(line)) continue;
    output += line;
    output += L"\r\n";
  }
  return output;
}
