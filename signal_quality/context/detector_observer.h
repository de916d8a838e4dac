// Watching a context's end-point detector frame by frame: what each analysed 8 kHz frame
// measured, what the detector made of it, and where the utterance's begin and end stand.
// Tools use it to show a person why an utterance was found where it was; it is not part of
// the library's exported interface.
#pragma once

#include <cstdint>

#include "endpoint/endpoint_detector.h"

struct SnrContext;

// Where the detector stands once a frame is stepped.
constexpr int32_t kDetectorFilling = 0;      // the window still holds samples from before the reset
constexpr int32_t kDetectorWaiting = 1;      // looking for a begin
constexpr int32_t kDetectorInUtterance = 2;  // begun, looking for the end
constexpr int32_t kDetectorEnded = 3;        // the end was declared on this frame

// One analysed frame. Every field is a 32-bit int or float, so that the record reads as a
// flat row of 18 values, in this order. Positions are input samples since the reset; begins
// and ends are counted as Tessel_GetUttrEPD counts them. -1 means that there is none.
struct DetectorTrace {
  int32_t frame;           // 8 kHz frames stepped since the reset, this one included
  int32_t sample;          // where the frame starts
  float seconds;           // the same, in seconds
  int32_t state;           // kDetectorFilling ... kDetectorEnded
  int32_t result;          // what the step returned: kEndpointNothing ... kEndpointEnd
  float energy;            // the window's mean energy per sample, clamped to 1 ... 65536
  int32_t threshold;       // what the truncated energy must reach to be speech-like
  int32_t peakLevel;       // the trackers that the threshold is derived from
  int32_t floorLevel;      //
  float pitch;             // Hz, or -1 when the periodicity test found none
  float pitchLag;          // the pitch's period in samples at the analysis rate, or -1
  int32_t voiced;          // 1 when the pitch is 80 Hz or more, else 0
  int32_t speechLike;      // 1 when voiced and the energy reaches the threshold; 0 while filling
  int32_t runLength;       // waiting: speech-like frames in a row; inside: other frames in a row
  int32_t beginCandidate;  // waiting: where the next begin would lie; then the begin itself
  int32_t endCandidate;    // inside: where the end lies if no speech-like frame comes first;
                           // on the end frame, the end itself
  int32_t beginSample;     // what Tessel_GetUttrEPD reports once this frame is stepped
  int32_t endSample;       //
};

using DetectorObserverFunction = void (*)(void* user, const DetectorTrace* trace);

// Called once per analysed frame, from inside Tessel_AddSample on the caller's thread, before
// the context looks for the next utterance. notify must not call into the context.
struct DetectorObserver {
  DetectorObserverFunction notify;  // null: nobody is watching
  void* user;                       // handed back to notify unchanged
};

// Attaches observer to a context handle from Tessel_Init, replacing the one before; a null
// notify detaches it. The observer stays through Tessel_Reset. 0; -1 for a null handle.
int32_t SnrContext_SetObserver(void* context, DetectorObserver observer);

// The context's own: the record of the frame just stepped, once its begin or end time is
// stored and before the detector is re-armed.
DetectorTrace SnrContext_TraceFrame(const SnrContext* context, int32_t result,
                                    const FrameAnalysis& analysis);
