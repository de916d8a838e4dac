#include "win_tool/trim_blanks.h"

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
