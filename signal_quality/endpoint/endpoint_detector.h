// The end-point detector: decides frame by frame where an utterance begins and ends.
//
// The detector lives wholly inside a work area that its owner provides (sized with
// EndpointDetector_WorkSize) and keeps no pointer outside it; nothing is allocated.
// One detector is stepped by one caller at a time; it takes no lock.
#pragma once

#include <cstdint>

// The record at the start of the work area. Fields are read by tests and by the owner's
// diagnostics; only the operations below change them.
struct EndpointDetector {
  int32_t rate;               // Hz of the frames handed to EndpointDetector_Step
  int32_t windowSpan;         // analysis window length counted at rate
  int32_t frameLength;        // samples per frame at rate
  int32_t endHangover;        // consecutive non-speech-like frames that end an utterance
  int32_t dcPrevInput;        // RemoveDc: previous input sample times 1024
  int32_t dcPrevOutput;       // RemoveDc: previous output at full width
  int16_t halvingHistory[5];  // per halving stage, the value carried into the next frame
  int32_t peakLevel;          // 0 until the first tracked frame
  int32_t floorLevel;
  int32_t threshold;
  int32_t minThreshold;
  int16_t* window;       // 128 samples at the analysis rate, oldest first
  int16_t* halvedFrame;  // scratch of the halvings (at 2000 Hz: a copy of the frame)
  int32_t runLength;     // speech-like run before a begin, non-speech-like run after it
  int32_t beginFrame;    // 0, or the frame (counted from 1 since the reset) of the begin
  int32_t endFrame;      // 0, or the frame on which the end was declared
  int32_t preBeginFrames;
  int32_t framesSinceBegin;
  int32_t framesSeen;     // frames stepped since the reset, the current one included
  int32_t warmupFrames;   // frames needed to fill the window
  void* periodicityWork;  // scratch area of the periodicity analysis
};

// Step results.
constexpr int32_t kEndpointNothing = 0;  // filling, waiting, or ended and not re-armed
constexpr int32_t kEndpointBegin = 1;    // begin found on this frame
constexpr int32_t kEndpointInside = 2;   // inside an utterance, no end on this frame
constexpr int32_t kEndpointEnd = 3;      // end declared on this frame

// Bytes of work area for a detector of frameLength samples at rate Hz; -1 when frameLength
// lies outside rate / 100 ... rate / 50.
int32_t EndpointDetector_WorkSize(int32_t rate, int32_t frameLength);

// Builds the detector at the start of area (size bytes) and returns it, reset. Accepts rates
// 2000 ... 16000 Hz whose window comes to 128 samples at the analysis rate (at most 2000 Hz,
// reached by halving), and frame lengths rate / 100 ... rate / 50 that survive the halvings
// whole. On refusal returns null and stores in *error (if error is not null) -1 for refused
// parameters, or -2 for an area that is null, smaller than EndpointDetector_WorkSize, or not
// aligned for the record. Nothing is written into the area on refusal, nor to *error on success.
EndpointDetector* EndpointDetector_Init(int32_t rate, int32_t frameLength, void* area, int32_t size,
                                        int32_t* error);

// Restarts the stream: empties the window and the filter states, then re-arms. 0; -1 for null.
int32_t EndpointDetector_Reset(EndpointDetector* detector);

// Looks for a new utterance from the next frame on, keeping the window and filter states (no
// new warm-up). 0; -1 for null.
int32_t EndpointDetector_Rearm(EndpointDetector* detector);

// Analyses one frame of frameLength samples (read only). Returns one of the step results
// above, or -1 (nothing changed) when detector or frame is null.
int32_t EndpointDetector_Step(EndpointDetector* detector, const int16_t* frame);

// What the analysis of one frame found, before the decision took it in.
struct FrameAnalysis {
  float pitch;   // Hz, or -1 when the periodicity test found none
  float energy;  // mean energy per sample of the window, clamped to 1 ... 65536
};

// EndpointDetector_Step that also hands back the frame's analysis in *analysis (which must
// not be null), for observers that want to see why the detector decided as it did. Leaves
// *analysis untouched when it returns -1.
int32_t EndpointDetector_StepTraced(EndpointDetector* detector, const int16_t* frame,
                                    FrameAnalysis* analysis);

// After a begin: the number of frames by which the begin lies before the current frame.
// -1 when no begin is known, and for null.
int32_t EndpointDetector_FramesSinceBegin(const EndpointDetector* detector);

// Sets the lower clamp of the energy threshold (unchecked, default 156), effective from the
// next tracked frame; the upper clamp 16384 still wins. 0; -1 for null.
int32_t EndpointDetector_SetMinThreshold(EndpointDetector* detector, int32_t value);

// Frees nothing: the memory belongs to the owner of the work area. 0; -1 for null.
int32_t EndpointDetector_Release(EndpointDetector* detector);
