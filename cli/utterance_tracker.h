// Turns the begin/end pair that a host reads after every push into the list of utterances
// the host has seen. A new begin overwrites the old one while the end keeps the earlier end
// until a new end overwrites it, so an utterance is complete exactly when the end changes.
#pragma once

#include <cstdint>
#include <vector>

struct Utterance {
  int32_t beginSample = -1;
  int32_t endSample = -1;  // -1: still open when the recording ended
};

struct UtteranceTracker {
  int32_t lastBegin = -1;
  int32_t lastEnd = -1;
  bool beginPending = false;  // a begin has been seen that no end has closed yet
  std::vector<Utterance> completed;
};

// What one reading changed: a begin newly declared, an utterance newly complete, or both (the
// begin first). A live host reports these as they happen.
struct UtteranceChange {
  bool began = false;
  bool ended = false;
  Utterance finished;  // when ended: the complete utterance
};

// Call after every push with what the context reports (-1 where nothing is known). Allocates
// nothing; `completed` is left alone.
UtteranceChange UtteranceTracker_Step(UtteranceTracker& tracker, int32_t beginSample,
                                      int32_t endSample);

// The same, keeping every complete utterance in `completed`.
void UtteranceTracker_Observe(UtteranceTracker& tracker, int32_t beginSample, int32_t endSample);

// Every utterance in order, the one still open at the end (if any) last with endSample -1.
std::vector<Utterance> UtteranceTracker_Utterances(const UtteranceTracker& tracker);
