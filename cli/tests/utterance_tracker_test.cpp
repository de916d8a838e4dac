#include "utterance_tracker.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Feeds the (begin, end) pairs a host would read after successive pushes.
std::vector<Utterance> Track(const std::vector<std::pair<int32_t, int32_t>>& readings) {
  UtteranceTracker tracker;
  for (auto [begin, end] : readings) UtteranceTracker_Observe(tracker, begin, end);
  return UtteranceTracker_Utterances(tracker);
}

bool operator==(const Utterance& a, const Utterance& b) {
  return a.beginSample == b.beginSample && a.endSample == b.endSample;
}

}  // namespace

TEST(UtteranceTracker, NothingDetected) {
  EXPECT_TRUE(Track({}).empty());
  EXPECT_TRUE(Track({{-1, -1}, {-1, -1}}).empty());
}

TEST(UtteranceTracker, OneUtteranceStaysListedOnceWhileTheEndIsRepeated) {
  const auto found = Track({{-1, -1}, {800, -1}, {800, -1}, {800, 4000}, {800, 4000}, {800, 4000}});
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE((found[0] == Utterance{800, 4000}));
}

TEST(UtteranceTracker, BeginWithoutEndIsOpen) {
  const auto found = Track({{-1, -1}, {800, -1}, {800, -1}});
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE((found[0] == Utterance{800, -1}));
}

TEST(UtteranceTracker, NewBeginKeepsTheOldEndUntilANewEndArrives) {
  // After the first end the context still reports it next to the second begin.
  const auto found = Track({{800, -1}, {800, 4000}, {9000, 4000}, {9000, 4000}, {9000, 15000}});
  ASSERT_EQ(found.size(), 2u);
  EXPECT_TRUE((found[0] == Utterance{800, 4000}));
  EXPECT_TRUE((found[1] == Utterance{9000, 15000}));
}

TEST(UtteranceTracker, SecondBeginWithoutEndIsOpenAfterACompleteOne) {
  const auto found = Track({{800, -1}, {800, 4000}, {9000, 4000}, {9000, 4000}});
  ASSERT_EQ(found.size(), 2u);
  EXPECT_TRUE((found[0] == Utterance{800, 4000}));
  EXPECT_TRUE((found[1] == Utterance{9000, -1}));
}

TEST(UtteranceTracker, BeginAndEndChangingInOnePushPairUp) {
  const auto found = Track({{800, -1}, {800, 4000}, {9000, 15000}});
  ASSERT_EQ(found.size(), 2u);
  EXPECT_TRUE((found[1] == Utterance{9000, 15000}));
}

TEST(UtteranceTracker, ResetToNothingStartsOver) {
  // A context reset reads -1, -1; the next utterance is new even at the same positions.
  const auto found = Track({{800, -1}, {800, 4000}, {-1, -1}, {800, -1}, {800, 4000}});
  ASSERT_EQ(found.size(), 2u);
  EXPECT_TRUE((found[0] == Utterance{800, 4000}));
  EXPECT_TRUE((found[1] == Utterance{800, 4000}));
}
