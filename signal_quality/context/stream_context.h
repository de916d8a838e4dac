// The record behind the handle that Tessel_Init returns: one end-point detection stream.
#pragma once

#include <cstdint>

#include "context/detector_observer.h"
#include "endpoint/endpoint_detector.h"
#include "resample/rate_converter.h"

struct SnrContext {
  RateConverter* converter;       // owned
  EndpointDetector* detector;     // lives at the start of the detector's area in workBlock
  int32_t inputRate;              // Hz
  int32_t inputFrameSize;         // input samples consumed by every Tessel_AddSample call
  BlockConverter convertSamples;  // chosen once for inputRate
  int32_t frameSize8k;            // samples per 8 kHz frame: a multiple of 4 in 80..160
  int16_t* frameBuffer;           // the 8 kHz frame being gathered, at the start of workBlock
  int32_t frameFill;              // samples in frameBuffer; below frameSize8k between calls
  int64_t samplesDone;            // 8 kHz samples in all frames stepped since the reset; 64
                                  // bits, so that even at 8000 Hz no input position wraps
  float beginTime;                // seconds since the reset; -1 while none is known
  float endTime;                  // seconds since the reset; -1 while none is known
  void* workBlock;                // owned: frameBuffer, then the detector's work area
  int32_t detectorWorkSize;       // bytes of the detector's work area
  DetectorObserver observer;      // notify is null unless a tool watches the detector
};
