#include "win_tool/app_name.h"

#include <cwchar>

#include "win_tool/remove_quotes.h"
#include "win_tool/trim_blanks.h"

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

AppNameUse JudgeAppName(const wchar_t* appName, bool refused) {
  if (refused) return AppNameUse::Refused;
  if (appName[0] == L'\0') return AppNameUse::Missing;
  return IsSafeAppName(appName) ? AppNameUse::Usable : AppNameUse::Refused;
}
