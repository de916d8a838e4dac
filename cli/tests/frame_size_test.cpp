#include "frame_size.h"

#include <gtest/gtest.h>

TEST(FrameSize, TwentyMillisecondsIsTheLargestValidSizeNotAboveRateOver50) {
  EXPECT_EQ(FrameSizeForMs(8000, 20), 160);
  EXPECT_EQ(FrameSizeForMs(11025, 20), 220);  // 220 gives 159, raised to 160
  EXPECT_EQ(FrameSizeForMs(16000, 20), 320);
  EXPECT_EQ(FrameSizeForMs(22050, 20), 440);  // 441 is odd
  EXPECT_EQ(FrameSizeForMs(44100, 20), 882);
  EXPECT_EQ(FrameSizeForMs(48000, 20), 960);
}

TEST(FrameSize, TenMillisecondsIsTheSmallestValidSizeNotBelowRateOver100) {
  EXPECT_EQ(FrameSizeForMs(8000, 10), 80);
  EXPECT_EQ(FrameSizeForMs(11025, 10), 110);
  EXPECT_EQ(FrameSizeForMs(16000, 10), 160);
  EXPECT_EQ(FrameSizeForMs(22050, 10), 220);
  EXPECT_EQ(FrameSizeForMs(44100, 10), 442);  // 441 is odd
  EXPECT_EQ(FrameSizeForMs(48000, 10), 480);
}

TEST(FrameSize, ChosenSizesAreAcceptedAtEveryRate) {
  for (int32_t rate : kSupportedRates) {
    for (int ms : {10, 20}) {
      const int32_t size = FrameSizeForMs(rate, ms);
      EXPECT_TRUE(IsValidFrameSize(rate, size)) << rate << " Hz, " << ms << " ms";
    }
  }
  EXPECT_EQ(FrameSizeForMs(16000, 15), 0);
}

TEST(FrameSize, RefusesWhatAContextRefuses) {
  EXPECT_TRUE(IsValidFrameSize(8000, 80));
  EXPECT_TRUE(IsValidFrameSize(8000, 160));
  EXPECT_FALSE(IsValidFrameSize(8000, 79));   // below 10 ms
  EXPECT_FALSE(IsValidFrameSize(8000, 81));   // odd
  EXPECT_FALSE(IsValidFrameSize(8000, 82));   // 8 kHz frame not a multiple of 4
  EXPECT_FALSE(IsValidFrameSize(8000, 162));  // above 20 ms
  EXPECT_FALSE(IsValidFrameSize(44100, 441));
  EXPECT_FALSE(IsValidFrameSize(11025, 114));
  EXPECT_FALSE(IsValidFrameSize(22050, 226));
  EXPECT_FALSE(IsValidFrameSize(48000, 492));
  EXPECT_TRUE(IsValidFrameSize(22050, 220));  // 79 raised to 80
  EXPECT_FALSE(IsValidFrameSize(0, 0));
}

TEST(FrameSize, SupportedRates) {
  EXPECT_TRUE(IsSupportedRate(11025));
  EXPECT_FALSE(IsSupportedRate(12000));
  EXPECT_FALSE(IsSupportedRate(32000));
  EXPECT_EQ(SupportedRatesText(), "8000, 11025, 16000, 22050, 44100, 48000");
}
