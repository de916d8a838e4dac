#include "win_tool/compose_path.h"

#include <gtest/gtest.h>

#include <string>

#include "win_tool/tool_limits.h"

TEST(ComposePath, FillsTheTemplateKeepsTheLongestThatFitsAndRefusesLonger) {
  wchar_t out[kPathChars];
  ASSERT_TRUE(ComposePath(out, L"%s\\%s\\dll", L"C:\\Program Files (x86)", L"Marloth\\Quorvane"));
  EXPECT_STREQ(out, L"C:\\Program Files (x86)\\Marloth\\Quorvane\\dll");
  ASSERT_TRUE(ComposePath(out, L"%s\\QRX_lib*.dll", L"C:\\x\\dll"));
  EXPECT_STREQ(out, L"C:\\x\\dll\\QRX_lib*.dll");

  const std::wstring first(kPathChars - 1 - 4, L'a');
  ASSERT_TRUE(ComposePath(out, L"%s\\%s", first.c_str(), L"bcd"));
  EXPECT_EQ(std::wstring(out), first + L"\\bcd");
  EXPECT_FALSE(ComposePath(out, L"%s\\%s", first.c_str(), L"bcde"));
  EXPECT_STREQ(out, L"");
}
