#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <vector>

#include "context/context_allocation.h"
#include "context/stream_context.h"
#include "tessel.h"

namespace {

SnrContext* Open(int32_t rate, int32_t frameSize) {
  return static_cast<SnrContext*>(Tessel_Init(rate, frameSize));
}

TEST(TesselInit, AcceptsFrameSizesOfTenToTwentyMillisecondsAtEveryRate) {
  struct Case {
    int32_t rate, frameSize, frameSize8k;
  };
  for (const Case& c :
       {Case{8000, 160, 160}, Case{8000, 80, 80}, Case{8000, 120, 120}, Case{11025, 220, 160},
        Case{11025, 110, 80}, Case{16000, 320, 160}, Case{16000, 160, 80}, Case{22050, 220, 80},
        Case{22050, 440, 160}, Case{44100, 882, 160}, Case{44100, 442, 80}, Case{48000, 960, 160},
        Case{48000, 480, 80}, Case{48000, 484, 80}}) {
    SnrContext* context = Open(c.rate, c.frameSize);
    ASSERT_NE(context, nullptr) << c.rate << "/" << c.frameSize;
    EXPECT_EQ(context->frameSize8k, c.frameSize8k) << c.rate << "/" << c.frameSize;
    EXPECT_EQ(context->inputRate, c.rate);
    EXPECT_EQ(context->inputFrameSize, c.frameSize);
    EXPECT_EQ(context->detectorWorkSize, EndpointDetector_WorkSize(8000, c.frameSize8k));
    EXPECT_EQ(context->frameBuffer, context->workBlock);
    // The detector lives right behind the frame buffer, inside the same block.
    EXPECT_EQ(static_cast<void*>(context->detector),
              static_cast<void*>(static_cast<char*>(context->workBlock) + 2 * c.frameSize8k));
    EXPECT_EQ(context->detector->frameLength, c.frameSize8k);
    EXPECT_EQ(context->detector->minThreshold, 156);
    int32_t begin = 7, end = 7;
    EXPECT_EQ(Tessel_GetUttrEPD(context, &begin, &end), 0);
    EXPECT_EQ(begin, -1);
    EXPECT_EQ(end, -1);
    EXPECT_EQ(Tessel_GetUttrEPD(context, nullptr, nullptr), 0);
    EXPECT_EQ(Tessel_Release(context), 0);
  }
}

TEST(TesselInit, RefusesFrameSizesOutsideTheRangeOddOrNotAMultipleOfFourAt8k) {
  struct Case {
    int32_t rate, frameSize;
  };
  for (const Case& c :
       {Case{8000, 79}, Case{8000, 81}, Case{8000, 162}, Case{8000, 82}, Case{8000, 0},
        Case{8000, -160}, Case{44100, 441}, Case{11025, 108}, Case{11025, 222}, Case{11025, 114},
        Case{22050, 226}, Case{48000, 492}, Case{48000, 478}, Case{48000, 962}, Case{16000, 321}}) {
    EXPECT_EQ(Tessel_Init(c.rate, c.frameSize), nullptr) << c.rate << "/" << c.frameSize;
  }
}

TEST(TesselInit, RefusesUnsupportedRates) {
  for (int32_t rate : {12000, 24000, 32000, 96000, 8001}) {
    EXPECT_EQ(Tessel_Init(rate, rate / 50 - (rate / 50) % 4), nullptr) << rate;
  }
  EXPECT_EQ(Tessel_Init(0, 0), nullptr);
  EXPECT_EQ(Tessel_Init(INT32_MAX, 21474836), nullptr);
}

TEST(NullHandle, EveryContextOperationReturnsMinusOneAndWritesNothing) {
  int32_t begin = 7, end = 8;
  const int16_t samples[160] = {};
  EXPECT_EQ(Tessel_Release(nullptr), -1);
  EXPECT_EQ(Tessel_Reset(nullptr), -1);
  EXPECT_EQ(Tessel_AddSample(nullptr, samples), -1);
  EXPECT_EQ(Tessel_GetUttrEPD(nullptr, &begin, &end), -1);
  EXPECT_EQ(Tessel_SetVADThreshold(nullptr, 300), -1);
  EXPECT_EQ(begin, 7);
  EXPECT_EQ(end, 8);
}

// Counts blocks in and out, and fails the allocation numbered failAt (from 1).
struct AllocationLedger {
  static inline int attempts = 0;
  static inline int failAt = 0;
  static inline std::set<void*> outstanding;

  static void* Allocate(std::size_t size) {
    if (++attempts == failAt) return nullptr;
    void* block = std::malloc(size);
    outstanding.insert(block);
    return block;
  }
  static void Free(void* block) {
    if (block != nullptr) {
      EXPECT_EQ(outstanding.erase(block), 1u) << "freed a block not taken";
    }
    std::free(block);
  }
};

class ContextAllocation : public testing::Test {
 protected:
  void SetUp() override {
    AllocationLedger::attempts = 0;
    AllocationLedger::failAt = 0;
    AllocationLedger::outstanding.clear();
    contextAllocate = AllocationLedger::Allocate;
    contextFree = AllocationLedger::Free;
  }
  void TearDown() override {
    contextAllocate = std::malloc;
    contextFree = std::free;
  }
};

TEST_F(ContextAllocation, TakesExactlyThreeBlocksAndReturnsAllOfThem) {
  void* context = Tessel_Init(44100, 882);
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(AllocationLedger::attempts, 3);
  EXPECT_EQ(AllocationLedger::outstanding.size(), 3u);
  const int16_t frame[882] = {};
  for (int i = 0; i < 200; ++i) Tessel_AddSample(context, frame);
  Tessel_Reset(context);
  EXPECT_EQ(AllocationLedger::attempts, 3) << "pushing or resetting allocated";
  EXPECT_EQ(Tessel_Release(context), 0);
  EXPECT_TRUE(AllocationLedger::outstanding.empty());
}

TEST_F(ContextAllocation, EachFailedAllocationFreesWhatWasTakenAndGivesNull) {
  for (int failAt = 1; failAt <= 3; ++failAt) {
    AllocationLedger::attempts = 0;
    AllocationLedger::failAt = failAt;
    EXPECT_EQ(Tessel_Init(16000, 320), nullptr) << "allocation " << failAt << " failed";
    EXPECT_EQ(AllocationLedger::attempts, failAt) << "went on after a failed allocation";
    EXPECT_TRUE(AllocationLedger::outstanding.empty())
        << "leak after failing allocation " << failAt;
  }
}

TEST_F(ContextAllocation, RefusedArgumentsTakeNothingOrGiveEverythingBack) {
  EXPECT_EQ(Tessel_Init(12000, 240), nullptr);
  EXPECT_EQ(Tessel_Init(8000, 81), nullptr);
  EXPECT_EQ(Tessel_Init(48000, 492), nullptr);  // refused by the detector, after allocating
  EXPECT_TRUE(AllocationLedger::outstanding.empty());
}

}  // namespace
