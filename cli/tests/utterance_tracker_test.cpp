#include "utterance_tracker.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

// The (begin, end) pairs a host reads after successive pushes, and the utterances they make.
TEST(UtteranceTracker, ListsEachUtteranceOnceWhenItsEndAppearsAndTheOpenOneLast) {
  using Readings = std::vector<std::pair<int32_t, int32_t>>;
  using Found = std::vector<std::pair<int32_t, int32_t>>;
  const std::pair<Readings, Found> cases[] = {
      {{}, {}},
      {{{-1, -1}, {-1, -1}}, {}},
      // The end is repeated after every later push.
      {{{-1, -1}, {800, -1}, {800, -1}, {800, 4000}, {800, 4000}, {800, 4000}}, {{800, 4000}}},
      {{{-1, -1}, {800, -1}, {800, -1}}, {{800, -1}}},
      // After the first end the context still reports it next to the second begin.
      {{{800, -1}, {800, 4000}, {9000, 4000}, {9000, 4000}, {9000, 15000}},
       {{800, 4000}, {9000, 15000}}},
      {{{800, -1}, {800, 4000}, {9000, 4000}, {9000, 4000}}, {{800, 4000}, {9000, -1}}},
      // Begin and end changing in one push.
      {{{800, -1}, {800, 4000}, {9000, 15000}}, {{800, 4000}, {9000, 15000}}},
  };
  for (const auto& [readings, expected] : cases) {
    UtteranceTracker tracker;
    for (auto [begin, end] : readings) UtteranceTracker_Observe(tracker, begin, end);
    Found found;
    for (const Utterance& u : UtteranceTracker_Utterances(tracker)) {
      found.emplace_back(u.beginSample, u.endSample);
    }
    EXPECT_EQ(found, expected) << readings.size() << " readings";
  }
}
