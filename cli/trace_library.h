// The streaming exports a recording runs on. Plain runs use libtessel.so, which this program is
// linked against and which exports exactly the library's eight functions. Watching the
// detector takes the trace library, libtessel_trace.so: the same functions on contexts of its
// own plus TesselTrace_SetObserver. It is loaded at run time from beside the libtessel.so in use
// (or from TESSEL_TRACE_LIBRARY), the route the Python package's Stream(trace=True) takes too.
#pragma once

#include <cstdint>
#include <string>

#include "context/detector_observer.h"

struct StreamingFunctions {
  void* (*init)(int32_t sampleRate, int32_t frameSize);
  int32_t (*release)(void* context);
  int32_t (*addSample)(void* context, const int16_t* samples);
  int32_t (*getUttrEPD)(void* context, int32_t* beginSample, int32_t* endSample);
  int32_t (*setVADThreshold)(void* context, int32_t vadThreshold);
  // Null for libtessel.so, which lets nobody watch its detector.
  int32_t (*setObserver)(void* context, DetectorObserverFunction notify, void* user);
};

// libtessel.so's functions.
StreamingFunctions LinkedStreamingFunctions();

// The trace library's functions, loaded on the first call (from any thread) and kept. Returns
// an empty string on success, otherwise a one-line reason naming the file looked for.
std::string TraceStreamingFunctions(StreamingFunctions& functions);
