#include "utterance_tracker.h"

UtteranceChange UtteranceTracker_Step(UtteranceTracker& tracker, int32_t beginSample,
                                      int32_t endSample) {
  UtteranceChange change;
  if (beginSample >= 0 && beginSample != tracker.lastBegin) {
    tracker.beginPending = true;
    change.began = true;
  }
  // Pair a new end with the begin known now: the context measures the end's one-second rule
  // against that begin as well.
  if (endSample >= 0 && endSample != tracker.lastEnd) {
    change.ended = true;
    change.finished = {beginSample, endSample};
    tracker.beginPending = false;
  }
  tracker.lastBegin = beginSample;
  tracker.lastEnd = endSample;
  return change;
}

void UtteranceTracker_Observe(UtteranceTracker& tracker, int32_t beginSample, int32_t endSample) {
  const UtteranceChange change = UtteranceTracker_Step(tracker, beginSample, endSample);
  if (change.ended) tracker.completed.push_back(change.finished);
}

std::vector<Utterance> UtteranceTracker_Utterances(const UtteranceTracker& tracker) {
  std::vector<Utterance> all = tracker.completed;
  if (tracker.beginPending) all.push_back({tracker.lastBegin, -1});
  return all;
}
