// What both fuzz targets share: how a broken promise ends a run, and a quiet stderr stream.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

// Names the broken promise on file descriptor 2 and aborts, so that libFuzzer keeps the input
// that broke it.
#define CHECK(condition)                                                              \
  do {                                                                                \
    if (!(condition)) {                                                               \
      dprintf(STDERR_FILENO, "broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                   \
    }                                                                                 \
  } while (false)

// The quantiser warns on the stderr stream in ordinary use (any recording of one steady
// level), millions of times in a campaign. Only that stream is sent away: CHECK, libFuzzer and
// the sanitizers write to file descriptor 2 directly.
inline void QuietenLibraryWarnings() {
  static FILE* const kQuiet = std::fopen("/dev/null", "w");
  if (kQuiet != nullptr) stderr = kQuiet;
}
