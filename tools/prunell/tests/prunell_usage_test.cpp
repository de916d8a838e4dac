#include "prunell/prunell_usage.h"

#include <gtest/gtest.h>

#include <string>

#include "win_tool/tool_limits.h"

TEST(PrunellUsage, LongestToolNameFitsWhole) {
  wchar_t usage[kUsageChars];
  const std::wstring name(kPathChars - 1, L'n');
  EXPECT_EQ(std::wstring(FormatPrunellUsage(usage, name.c_str())),
            L"Delete all the Linkport-clone DLLs in the application's dll folder, and remvoe lines "
            L"starting with \"QRX_libUart\" in Linkport.ini.\nUsage: " +
                name + L" <application>\nExample: " + name + L" \"Marloth\\Quorvane\"");
}
