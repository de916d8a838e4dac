#include "frame_size.h"

#include <gtest/gtest.h>

// The sizes the command line picks for --frame-ms: for 20 ms the largest the library takes not
// above rate/50, for 10 ms the smallest not below rate/100. Which sizes the library takes is
// checked in the context's tests.
TEST(FrameSizeForMs, PicksTheValidSizeNearestToTenOrTwentyMilliseconds) {
  const struct {
    int32_t rate, tenMs, twentyMs;
  } cases[] = {{8000, 80, 160},   {11025, 110, 220}, {16000, 160, 320},
               {22050, 220, 440}, {44100, 442, 882}, {48000, 480, 960}};
  for (const auto& c : cases) {
    EXPECT_EQ(FrameSizeForMs(c.rate, 10), c.tenMs) << c.rate;
    EXPECT_EQ(FrameSizeForMs(c.rate, 20), c.twentyMs) << c.rate;
  }
  EXPECT_EQ(FrameSizeForMs(16000, 15), 0);
  EXPECT_EQ(FrameSizeForMs(12000, 20), 0);
}
