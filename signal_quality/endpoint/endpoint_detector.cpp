#include "endpoint/endpoint_detector.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "endpoint/analysis_shape.h"
#include "endpoint/level_tracking.h"
#include "endpoint/preprocess.h"
#include "endpoint/utterance_decision.h"
#include "pitch/periodicity.h"

namespace {

constexpr int32_t kMinRate = 2000;
constexpr int32_t kMaxRate = 16000;
constexpr int32_t kDefaultMinThreshold = 156;
constexpr int32_t kRefusedParameters = -1;
constexpr int32_t kRefusedArea = -2;

// Byte offsets inside the work area.
struct WorkLayout {
  int32_t window;
  int32_t halvedFrame;
  int32_t periodicityWork;
  int32_t total;
};

// Samples that halvedFrame must hold: the first stage's output, or, when no stage runs
// (frames already at the analysis rate), the whole frame, which is copied there.
int32_t HalvedFrameCapacity(int32_t rate, int32_t frameLength) {
  return rate > kAnalysisRateLimit ? frameLength / 2 : frameLength;
}

WorkLayout ComputeWorkLayout(int32_t rate, int32_t frameLength) {
  constexpr int32_t kSampleBytes = int32_t{sizeof(int16_t)};
  WorkLayout layout{};
  layout.window = int32_t{sizeof(EndpointDetector)};
  layout.halvedFrame = layout.window + kAnalysisWindow * kSampleBytes;
  const int32_t end = layout.halvedFrame + HalvedFrameCapacity(rate, frameLength) * kSampleBytes;
  layout.periodicityWork = (end + 3) & ~3;
  layout.total = layout.periodicityWork + kPeriodicityWorkBytes;
  return layout;
}

bool FrameLengthAccepted(int32_t rate, int32_t frameLength) {
  return frameLength >= rate / 100 && frameLength <= rate / 50;
}

EndpointDetector* Refuse(int32_t* error, int32_t reason) {
  if (error != nullptr) *error = reason;
  return nullptr;
}

}  // namespace

int32_t EndpointDetector_WorkSize(int32_t rate, int32_t frameLength) {
  if (!FrameLengthAccepted(rate, frameLength)) return -1;
  return ComputeWorkLayout(rate, frameLength).total;
}

EndpointDetector* EndpointDetector_Init(int32_t rate, int32_t frameLength, void* area, int32_t size,
                                        int32_t* error) {
  if (rate < kMinRate || rate > kMaxRate) return Refuse(error, kRefusedParameters);
  if (!FrameLengthAccepted(rate, frameLength)) return Refuse(error, kRefusedParameters);
  const int32_t workSize = EndpointDetector_WorkSize(rate, frameLength);
  if (workSize <= 0 || area == nullptr || size < workSize) return Refuse(error, kRefusedArea);
  const AnalysisShape shape = ComputeAnalysisShape(rate, frameLength);
  if (shape.analysisSpan != kAnalysisWindow) return Refuse(error, kRefusedParameters);
  if ((shape.analysisFrame << shape.stages) != frameLength) {
    return Refuse(error, kRefusedParameters);
  }
  // Checked last, so that parameters the detector cannot take are reported as such wherever
  // the owner placed the area. Every refusal comes before the first write into the area.
  if (reinterpret_cast<uintptr_t>(area) % alignof(EndpointDetector) != 0) {
    return Refuse(error, kRefusedArea);
  }

  auto* detector = new (area) EndpointDetector{};
  detector->rate = rate;
  detector->windowSpan = shape.windowSpan;
  detector->frameLength = frameLength;
  detector->minThreshold = kDefaultMinThreshold;
  detector->endHangover = rate / frameLength;
  detector->warmupFrames = (shape.analysisFrame + kAnalysisWindow - 1) / shape.analysisFrame;
  const WorkLayout layout = ComputeWorkLayout(rate, frameLength);
  auto* bytes = static_cast<unsigned char*>(area);
  detector->window = reinterpret_cast<int16_t*>(bytes + layout.window);
  detector->halvedFrame = reinterpret_cast<int16_t*>(bytes + layout.halvedFrame);
  detector->periodicityWork = bytes + layout.periodicityWork;
  EndpointDetector_Reset(detector);
  return detector;
}

int32_t EndpointDetector_Reset(EndpointDetector* detector) {
  if (detector == nullptr) return -1;
  detector->framesSeen = 0;
  std::memset(detector->window, 0, kAnalysisWindow * sizeof(int16_t));
  std::memset(detector->halvingHistory, 0, sizeof(detector->halvingHistory));
  detector->dcPrevInput = 0;
  detector->dcPrevOutput = 0;
  return EndpointDetector_Rearm(detector);
}

int32_t EndpointDetector_Rearm(EndpointDetector* detector) {
  if (detector == nullptr) return -1;
  detector->peakLevel = 0;
  detector->floorLevel = 0;
  detector->threshold = detector->minThreshold;
  detector->runLength = 0;
  detector->beginFrame = 0;
  detector->endFrame = 0;
  detector->preBeginFrames = 0;
  detector->framesSinceBegin = 0;
  return 0;
}

namespace {

// Samples of the second halving's output at most: a quarter of the longest frame (rate / 50).
constexpr int32_t kSecondStageCapacity = kMaxRate / 50 / 4;

// Brings the frame to the analysis rate, filters and scales it, and slides it into the
// window. Returns the analysis rate.
[[gnu::always_inline]] inline int32_t PrepareWindow(EndpointDetector* detector,
                                                    const int16_t* frame) {
  int32_t count = detector->frameLength;
  int32_t rate = detector->rate;
  int16_t* halved = detector->halvedFrame;
  if (rate <= kAnalysisRateLimit) std::memcpy(halved, frame, size_t(count) * sizeof(int16_t));
  // The halvings alternate between halvedFrame and a buffer of this call's own: a stage
  // that runs in place cannot be vectorised.
  int16_t second[kSecondStageCapacity];
  int16_t* samples = halved;
  for (int32_t stage = 0; rate > kAnalysisRateLimit; ++stage) {
    const int16_t* input = stage == 0 ? frame : samples;
    int16_t* output = stage % 2 == 0 ? halved : second;
    HalveRate(input, count, output, &detector->halvingHistory[stage]);
    samples = output;
    count /= 2;
    rate >>= 1;
  }
  RemoveDc(samples, count, &detector->dcPrevInput, &detector->dcPrevOutput);
  int16_t* window = detector->window;
  std::memmove(window, window + count, size_t(kAnalysisWindow - count) * sizeof(int16_t));
  int16_t* newest = window + kAnalysisWindow - count;
  for (int32_t i = 0; i < count; ++i) newest[i] = int16_t(samples[i] >> 4);
  return rate;
}

// The step of both entry points; analysis, when not null, receives what the frame's analysis
// found. Taken inline by each, so that the plain step, which every frame of an unwatched
// stream takes, has the code of a step that reports nothing.
[[gnu::always_inline]] inline int32_t StepFrame(EndpointDetector* detector, const int16_t* frame,
                                                FrameAnalysis* analysis) {
  const int32_t analysisRate = PrepareWindow(detector, frame);
  float peakValue = 0.0f;
  float e = 0.0f;
  const float pitch = EstimatePitch(detector->window, kAnalysisWindow, analysisRate, &peakValue, &e,
                                    detector->periodicityWork);
  // Written as "not at least 1" so that no value could reach the truncation undefined.
  if (e > 65536.0f) {
    e = 65536.0f;
  } else if (!(e >= 1.0f)) {
    e = 1.0f;
  }
  if (analysis != nullptr) *analysis = {pitch, e};
  detector->framesSeen = CountUp(detector->framesSeen);
  if (detector->framesSeen < detector->warmupFrames) return kEndpointNothing;

  const int32_t energy = TrackLevels(detector, e);
  if (detector->endFrame != 0) return kEndpointNothing;
  if (detector->beginFrame == 0) {
    detector->preBeginFrames = CountUp(detector->preBeginFrames);
    detector->beginFrame = BeginTest(detector, pitch, energy);
    return detector->beginFrame > 0 ? kEndpointBegin : kEndpointNothing;
  }
  detector->framesSinceBegin = CountUp(detector->framesSinceBegin);
  detector->endFrame = EndTest(detector, pitch, energy);
  return detector->endFrame > 0 ? kEndpointEnd : kEndpointInside;
}

}  // namespace

int32_t EndpointDetector_Step(EndpointDetector* detector, const int16_t* frame) {
  if (detector == nullptr || frame == nullptr) return -1;
  return StepFrame(detector, frame, nullptr);
}

int32_t EndpointDetector_StepTraced(EndpointDetector* detector, const int16_t* frame,
                                    FrameAnalysis* analysis) {
  if (detector == nullptr || frame == nullptr) return -1;
  return StepFrame(detector, frame, analysis);
}

int32_t EndpointDetector_FramesSinceBegin(const EndpointDetector* detector) {
  if (detector == nullptr || detector->beginFrame <= 0) return -1;
  return detector->framesSinceBegin;
}

int32_t EndpointDetector_SetMinThreshold(EndpointDetector* detector, int32_t value) {
  if (detector == nullptr) return -1;
  detector->minThreshold = value;
  return 0;
}

int32_t EndpointDetector_Release(EndpointDetector* detector) {
  return detector == nullptr ? -1 : 0;
}
