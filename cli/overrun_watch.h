// Noticing that a live capture lost audio because the reader fell behind. The sound server
// keeps at most a stream's buffer of captured audio for a reader that is late and drops the
// rest without telling a simple-API client, so a backlog that reaches the buffer's size is
// where audio is lost. A clock would not tell: a virtual device hands audio over ahead of time
// or in bursts, so the samples received wander from the wall clock's count by seconds.
#pragma once

#include <cstdint>

struct OverrunWatch {
  int64_t bufferSamples = 0;  // what the stream keeps at most
  int32_t sampleRate = 0;
  bool full = false;  // the backlog stood full at the last check
};

// Call after every frame with the samples captured but not read yet (-1 when unknown). Returns
// true when the backlog has just reached the buffer's size (less a quarter second of slack for
// the server's scheduling): audio is being lost. Once reported, the next report needs the
// backlog to fall below half the buffer first.
bool OverrunWatch_Check(OverrunWatch& watch, int64_t backlogSamples);
