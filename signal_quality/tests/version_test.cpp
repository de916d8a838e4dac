#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "tessel.h"

TEST(VerInfo, BannerHasFixedFirstLineAndTwoLines) {
  const char* banner = Tessel_VerInfo();
  ASSERT_NE(banner, nullptr);
  std::string text(banner);
  const std::string firstLine = "Tessel_Lib v1.0.0 (compiled at Sep 15 2017)\n";
  EXPECT_EQ(text.compare(0, firstLine.size(), firstLine), 0);
  ASSERT_GT(text.size(), firstLine.size() + 1);
  EXPECT_EQ(text.back(), '\n');
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
  EXPECT_EQ(Tessel_VerInfo(), banner);
}
