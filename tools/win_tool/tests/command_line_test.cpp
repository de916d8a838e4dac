#include "win_tool/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

// The tail as wWinMain receives it, and the name taken from it: space and tab trimmed from both
// ends first (nothing else counts as a blank), then every double quote removed, so that blanks
// inside quotes survive.
TEST(FillAppName, TrimsSpacesAndTabsThenRemovesEveryDoubleQuote) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"\"Marloth\\Quorvane\"", L"Marloth\\Quorvane"},
      {L" \t Marloth\\Quorvane\t  ", L"Marloth\\Quorvane"},
      {L"  two  words \t", L"two  words"},
      {L"Mar\"loth\"\"\\Quor\"vane", L"Marloth\\Quorvane"},
      {L" \"  \" ", L"  "},
      {L"\" Marloth \"", L" Marloth "},
      {L"it's \u201Cfine\u201D", L"it's \u201Cfine\u201D"},
      {L"\r\nname\r\n", L"\r\nname\r\n"},
      {L"\vname\f", L"\vname\f"},
      {L"\x3000name\xA0", L"\x3000name\xA0"},
      {L"", L""},
      {L" \t ", L""},
      {L"\"\"\"\"", L""},
      {std::wstring(300, L' ') + L"\"App\"" + std::wstring(300, L'\t'), L"App"},
      {std::wstring(kPathChars - 1, L'a'), std::wstring(kPathChars - 1, L'a')},
  };
  for (auto [tail, name] : cases) {
    wchar_t appName[kPathChars] = L"X";
    EXPECT_TRUE(FillAppName(appName, tail.data())) << name;
    EXPECT_EQ(std::wstring(appName), name);
  }
}

TEST(FillAppName, NameThatDoesNotFitIsRefusedNotCut) {
  std::wstring tooLong(kPathChars, L'a');
  wchar_t appName[kPathChars] = L"X";
  EXPECT_FALSE(FillAppName(appName, tooLong.data()));
  EXPECT_EQ(appName[0], L'\0');
}

TEST(IsSafeAppName, TakesFoldersBelowTheBaseAndNothingThatLeadsOutOrNoNameHolds) {
  for (const wchar_t* name : {L"Marloth\\Quorvane", L"Marloth/Quorvane", L"two words", L"App\\",
                              L"a..b", L"...x", L"x.", L"Kit\\v1.2\\App", L"A\\\\B"}) {
    EXPECT_TRUE(IsSafeAppName(name)) << name;
  }
  EXPECT_TRUE(IsSafeAppName(std::wstring(kPathChars - 1, L'a').c_str()));
  for (const wchar_t* name : {L"..",
                              L"..\\Other",
                              L"Marloth\\..\\..\\Windows",
                              L"Marloth/..",
                              L"a\\.\\b",
                              L"a\\...",
                              L"a\\.. \\b",
                              L"  ",
                              L"x\\ \\y",
                              L"\\Windows",
                              L"/Windows",
                              L"\\\\server\\share",
                              L"\\\\?\\C:\\x",
                              L"\\\\.\\PhysicalDrive0",
                              L"C:\\Windows",
                              L"C:Windows",
                              L"App:stream",
                              L".",
                              L"App*",
                              L"Ap?",
                              L"A<b",
                              L"A>b",
                              L"A|b",
                              L"A\"b",
                              L"A\tb",
                              L"A\nb",
                              L""}) {
    EXPECT_FALSE(IsSafeAppName(name)) << name;
  }
  EXPECT_FALSE(IsSafeAppName(nullptr));
  EXPECT_FALSE(IsSafeAppName(std::wstring(kPathChars, L'a').c_str()));
}

TEST(JudgeAppName, MissingNameAsksForUsageRefusalWins) {
  EXPECT_EQ(JudgeAppName(L"", false), AppNameUse::Missing);
  EXPECT_EQ(JudgeAppName(L"", true), AppNameUse::Refused);
  EXPECT_EQ(JudgeAppName(L"Marloth\\Quorvane", false), AppNameUse::Usable);
  EXPECT_EQ(JudgeAppName(L"..\\x", false), AppNameUse::Refused);
  EXPECT_EQ(JudgeAppName(L"  ", false), AppNameUse::Refused);
}
