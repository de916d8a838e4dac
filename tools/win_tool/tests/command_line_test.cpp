#include "win_tool/command_line.h"

#include <gtest/gtest.h>

#include <string>

static std::wstring Trimmed(std::wstring text) { return TrimBlanks(text.data()); }

TEST(TrimBlanks, DropsSpacesAndTabsAtBothEnds) {
  EXPECT_EQ(Trimmed(L" \t Marloth\\Quorvane\t  "), L"Marloth\\Quorvane");
  EXPECT_EQ(Trimmed(L"name"), L"name");
}

TEST(TrimBlanks, KeepsInnerBlanks) { EXPECT_EQ(Trimmed(L"  two  words\t"), L"two  words"); }

TEST(TrimBlanks, TrimsNothingButSpaceAndTab) {
  EXPECT_EQ(Trimmed(L"\r\nname\r\n"), L"\r\nname\r\n");
  EXPECT_EQ(Trimmed(L"\vname\f"), L"\vname\f");
  EXPECT_EQ(Trimmed(L"\x3000name\xA0"), L"\x3000name\xA0");
}

TEST(TrimBlanks, BlanksOnlyGivesTheEmptyEnd) {
  std::wstring text = L" \t \t";
  wchar_t* result = TrimBlanks(text.data());
  EXPECT_EQ(result, text.data() + text.size());
  EXPECT_EQ(*result, L'\0');
  std::wstring empty;
  EXPECT_EQ(*TrimBlanks(empty.data()), L'\0');
}

TEST(TrimBlanks, ReturnsPointerIntoTheSameText) {
  std::wstring text = L"  ab  ";
  wchar_t* result = TrimBlanks(text.data());
  EXPECT_EQ(result, text.data() + 2);
  EXPECT_EQ(text[4], L'\0');  // cut in place
}

TEST(TrimBlanks, NullGivesNull) { EXPECT_EQ(TrimBlanks(nullptr), nullptr); }

static std::wstring Unquoted(std::wstring text) { return RemoveQuotes(text.data()); }

TEST(RemoveQuotes, RemovesEveryDoubleQuoteAndClosesTheGaps) {
  EXPECT_EQ(Unquoted(L"\"Marloth\\Quorvane\""), L"Marloth\\Quorvane");
  EXPECT_EQ(Unquoted(L"Mar\"loth\"\"\\Quor\"vane"), L"Marloth\\Quorvane");
  EXPECT_EQ(Unquoted(L"\"\"\"\""), L"");
}

TEST(RemoveQuotes, KeepsOtherQuoteMarks) {
  EXPECT_EQ(Unquoted(L"it's \u201Cfine\u201D"), L"it's \u201Cfine\u201D");
}

TEST(RemoveQuotes, KeepsBlanksThatStoodInsideQuotes) { EXPECT_EQ(Unquoted(L"\"  \""), L"  "); }

TEST(RemoveQuotes, WorksInPlaceAndNullGivesNull) {
  std::wstring text = L"a\"b";
  EXPECT_EQ(RemoveQuotes(text.data()), text.data());
  EXPECT_EQ(RemoveQuotes(nullptr), nullptr);
}

struct Filled {
  bool fits;
  std::wstring name;
};

static Filled Fill(std::wstring tail) {
  wchar_t appName[kPathChars];
  appName[0] = L'X';
  const bool fits = FillAppName(appName, tail.data());
  return {fits, appName};
}

TEST(FillAppName, QuotedAndUnquotedNamesAreTheSame) {
  EXPECT_EQ(Fill(L"\"Marloth\\Quorvane\"").name, L"Marloth\\Quorvane");
  EXPECT_EQ(Fill(L"Marloth\\Quorvane").name, L"Marloth\\Quorvane");
}

TEST(FillAppName, WholeTailIsOneName) {
  EXPECT_EQ(Fill(L"  two words \t").name, L"two words");
  EXPECT_EQ(Fill(L"Mar\"loth\\Quor\"vane").name, L"Marloth\\Quorvane");
}

TEST(FillAppName, TrimsBeforeRemovingQuotes) {
  EXPECT_EQ(Fill(L" \"  \" ").name, L"  ");
  EXPECT_EQ(Fill(L"\" Marloth \"").name, L" Marloth ");
}

TEST(FillAppName, NoTailOrBlankTailIsNoName) {
  EXPECT_EQ(Fill(L"").name, L"");
  EXPECT_EQ(Fill(L" \t ").name, L"");
  EXPECT_EQ(Fill(L"\"\"").name, L"");
  wchar_t appName[kPathChars] = L"X";
  EXPECT_TRUE(FillAppName(appName, nullptr));
  EXPECT_EQ(appName[0], L'\0');
}

TEST(FillAppName, NameThatDoesNotFitIsRefusedNotCut) {
  const Filled longest = Fill(std::wstring(kPathChars - 1, L'a'));
  EXPECT_TRUE(longest.fits);
  EXPECT_EQ(longest.name.size(), size_t(kPathChars - 1));
  const Filled tooLong = Fill(std::wstring(kPathChars, L'a'));
  EXPECT_FALSE(tooLong.fits);
  EXPECT_EQ(tooLong.name, L"");
}

TEST(FillAppName, LongTailWhoseNameFitsIsTaken) {
  const Filled filled = Fill(std::wstring(300, L' ') + L"\"App\"" + std::wstring(300, L'\t'));
  EXPECT_TRUE(filled.fits);
  EXPECT_EQ(filled.name, L"App");
}

TEST(IsSafeAppName, AcceptsFoldersBelowTheBase) {
  for (const wchar_t* name : {L"Marloth\\Quorvane", L"Marloth/Quorvane", L"two words", L"App\\",
                              L"a..b", L"...x", L"x.", L"Kit\\v1.2\\App", L"A\\\\B"}) {
    EXPECT_TRUE(IsSafeAppName(name)) << name;
  }
}

TEST(IsSafeAppName, RefusesWaysOutOfTheBase) {
  for (const wchar_t* name :
       {L"..", L"..\\Other", L"Marloth\\..\\..\\Windows", L"Marloth/..", L"a\\.\\b", L"a\\...",
        L"a\\.. \\b", L"  ", L"x\\ \\y", L"\\Windows", L"/Windows", L"\\\\server\\share",
        L"\\\\?\\C:\\x", L"\\\\.\\PhysicalDrive0", L"C:\\Windows", L"C:Windows", L"App:stream",
        L"."}) {
    EXPECT_FALSE(IsSafeAppName(name)) << name;
  }
}

TEST(IsSafeAppName, RefusesWildcardsAndCharactersNoNameHolds) {
  for (const wchar_t* name : {L"App*", L"Ap?", L"A<b", L"A>b", L"A|b", L"A\"b", L"A\tb", L"A\nb"}) {
    EXPECT_FALSE(IsSafeAppName(name)) << name;
  }
}

TEST(IsSafeAppName, RefusesEmptyAndTooLong) {
  EXPECT_FALSE(IsSafeAppName(L""));
  EXPECT_FALSE(IsSafeAppName(nullptr));
  EXPECT_TRUE(IsSafeAppName(std::wstring(kPathChars - 1, L'a').c_str()));
  EXPECT_FALSE(IsSafeAppName(std::wstring(kPathChars, L'a').c_str()));
}

TEST(JudgeAppName, MissingNameAsksForUsageRefusalWins) {
  EXPECT_EQ(JudgeAppName(L"", false), AppNameUse::Missing);
  EXPECT_EQ(JudgeAppName(L"", true), AppNameUse::Refused);
  EXPECT_EQ(JudgeAppName(L"Marloth\\Quorvane", false), AppNameUse::Usable);
  EXPECT_EQ(JudgeAppName(L"..\\x", false), AppNameUse::Refused);
  EXPECT_EQ(JudgeAppName(L"  ", false), AppNameUse::Refused);
}
