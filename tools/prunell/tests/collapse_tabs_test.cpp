#include "prunell/collapse_tabs.h"

#include <gtest/gtest.h>

#include <string>

static std::wstring Collapsed(std::wstring text) { return CollapseTabs(text.data()); }

TEST(CollapseTabs, OnePassHalvesEachRunRoundingUp) {
  EXPECT_EQ(Collapsed(L"a\tb"), L"a\tb");
  EXPECT_EQ(Collapsed(L"a\t\tb"), L"a\tb");
  EXPECT_EQ(Collapsed(L"a\t\t\tb"), L"a\t\tb");
  EXPECT_EQ(Collapsed(L"a\t\t\t\tb"), L"a\t\tb");
  EXPECT_EQ(Collapsed(L"a\t\t\t\t\tb\t\t\tc"), L"a\t\t\tb\t\tc");
}

TEST(CollapseTabs, RepeatedPassesLeaveSingleTabs) {
  std::wstring text = L"\t\t\t\t\t\t\tx\t\t\t\t\ty";
  size_t length = text.size();
  for (;;) {
    CollapseTabs(text.data());
    const size_t shorter = wcslen(text.c_str());
    if (shorter == length) break;
    length = shorter;
  }
  EXPECT_EQ(std::wstring(text.c_str()), L"\tx\ty");
}

TEST(CollapseTabs, LeavesOtherCharactersAlone) {
  EXPECT_EQ(Collapsed(L"  a  b\r\n"), L"  a  b\r\n");
  EXPECT_EQ(Collapsed(L""), L"");
}
