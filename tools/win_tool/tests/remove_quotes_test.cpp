#include "win_tool/remove_quotes.h"

#include <gtest/gtest.h>

#include <string>

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
