#include "utterance_tracker.h"

void UtteranceTracker_Observe(UtteranceTracker& tracker, int32_t beginSample, int32_t endSample) {
  if (beginSample >= 0 && beginSample != tracker.lastBegin) tracker.beginPending = true;
  // Pair a new end with the begin known now: the context measures the end's one-second rule
  // against that begin as well.
  if (endSample >= 0 && endSample != tracker.lastEnd) {
    tracker.completed.push_back({beginSample, endSample});
    tracker.beginPending = false;
  }
  tracker.lastBegin = beginSample;
  tracker.lastEnd = endSample;
}

std::vector<Utterance> UtteranceTracker_Utterances(const UtteranceTracker& tracker) {
  std::vector<Utterance> all = tracker.completed;
  if (tracker.beginPending) all.push_back({tracker.lastBegin, -1});
  return all;
}
