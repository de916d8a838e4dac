#include "overrun_watch.h"

bool OverrunWatch_Check(OverrunWatch& watch, int64_t backlogSamples) {
  if (backlogSamples < 0) return false;
  if (backlogSamples >= watch.bufferSamples - watch.sampleRate / 4) {
    const bool newlyFull = !watch.full;
    watch.full = true;
    return newlyFull;
  }
  if (backlogSamples < watch.bufferSamples / 2) watch.full = false;
  return false;
}
