#include "vaultsweep/vaultsweep_usage.h"

#include <gtest/gtest.h>

#include <string>

TEST(VaultsweepUsage, TextWithItsTabsAndUnquotedExample) {
  wchar_t usage[kUsageChars];
  EXPECT_EQ(std::wstring(FormatVaultsweepUsage(usage, L"Vaultsweep")),
            L"Delete Linkport.ini of the specified applicationin hidden in the virtual store."
            L"\t\t\t\t\t\t  \n"
            L"Usage: Vaultsweep <application>\n"
            L"Example: Vaultsweep Marloth\\Quorvane");
}
