#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <vector>

#include "context/context_allocation.h"
#include "context/stream_context.h"
#include "tessel.h"

namespace {

// The frame sizes tessel.h describes for each rate, as the 8 kHz frame they come to (0: the
// context is refused): both ends of each range and sizes just outside them, odd sizes, sizes
// whose 8 kHz frame is not a multiple of 4, and rates a context does not take.
TEST(TesselInit, AcceptsExactlyTheRatesAndFrameSizesTesselHDescribes) {
  struct Case {
    int32_t rate, frameSize, frameSize8k;
  };
  // clang-format off
  const Case cases[] = {
      {8000, 80, 80},      {8000, 120, 120},    {8000, 160, 160},    {11025, 110, 80},
      {11025, 220, 160},   {16000, 160, 80},    {16000, 320, 160},   {22050, 220, 80},
      {22050, 440, 160},   {44100, 442, 80},    {44100, 882, 160},   {48000, 480, 80},
      {48000, 484, 80},    {48000, 960, 160},
      {8000, 79, 0},       {8000, 81, 0},       {8000, 82, 0},       {8000, 162, 0},
      {8000, 0, 0},        {8000, -160, 0},     {11025, 108, 0},     {11025, 114, 0},
      {11025, 222, 0},     {16000, 321, 0},     {22050, 226, 0},     {44100, 441, 0},
      {48000, 478, 0},     {48000, 492, 0},     {48000, 962, 0},
      {12000, 240, 0},     {24000, 480, 0},     {32000, 640, 0},     {96000, 1920, 0},
      {8001, 160, 0},      {0, 0, 0},           {INT32_MAX, 21474836, 0}};
  // clang-format on
  for (const Case& c : cases) {
    void* handle = Tessel_Init(c.rate, c.frameSize);
    if (c.frameSize8k == 0) {
      EXPECT_EQ(handle, nullptr) << c.rate << "/" << c.frameSize;
      continue;
    }
    ASSERT_NE(handle, nullptr) << c.rate << "/" << c.frameSize;
    const SnrContext* context = static_cast<SnrContext*>(handle);
    EXPECT_EQ(context->frameSize8k, c.frameSize8k) << c.rate << "/" << c.frameSize;
    EXPECT_EQ(context->detector->minThreshold, 156);
    int32_t begin = 7, end = 7;
    EXPECT_EQ(Tessel_GetUttrEPD(handle, &begin, &end), 0);
    EXPECT_EQ(begin, -1);
    EXPECT_EQ(end, -1);
    EXPECT_EQ(Tessel_GetUttrEPD(handle, nullptr, nullptr), 0);
    EXPECT_EQ(Tessel_Release(handle), 0);
  }
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
