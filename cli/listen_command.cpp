#include "listen_command.h"

#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <new>
#include <vector>

#include <tessel.h>
#include "frame_size.h"
#include "listen_output.h"
#include "overrun_watch.h"
#include "pulse_capture.h"
#include "utterance_saver.h"
#include "utterance_tracker.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

// The first SIGINT or SIGTERM asks for a clean stop at the next frame; the handler then gives
// way, so that a second one ends a program whose input has stalled.
void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

double WallSeconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return double(now.tv_sec) + now.tv_nsec / 1e9;
}

// Positions are single-precision seconds inside the context (tessel.h), so the context is
// restarted after this much audio, at a moment without an open utterance, and the program
// adds up the offsets itself.
constexpr int64_t kContextRestartSeconds = 3600;

// How often the status line follows the input. The backlog is looked at after every frame: a
// reader that was stopped drains the queue quickly, and the queue stands full only briefly.
constexpr int32_t kStatusPerSecond = 10;

struct Listener {
  explicit Listener(const ListenOptions& chosen) : options(chosen) {}

  const ListenOptions& options;
  int32_t frameSize = 0;
  void* context = nullptr;
  PulseCapture capture;
  UtteranceSaver saver;
  UtteranceTracker tracker;
  OverrunWatch overrun;
  ListenOutput output;
  int64_t samplesRead = 0;
  int64_t contextBase = 0;  // samples read before the context's last restart
  int utterancesBegun = 0;
  int utterancesEnded = 0;
  int64_t openBegin = -1;  // the open utterance's begin; -1 when none is open
  double captureStartWall = 0.0;
  double levelSum = 0.0;  // squares since the last status line
  int64_t levelCount = 0;
  bool failed = false;
};

void Fail(Listener& listener, const std::string& reason) {
  ListenOutput_ClearStatus(listener.output);
  std::fprintf(stderr, "tessel listen: %s\n", reason.c_str());
  listener.failed = true;
}

void FinishUtterance(Listener& listener, const Utterance& finished) {
  const int64_t begin = listener.contextBase + finished.beginSample;
  const int64_t end = listener.contextBase + finished.endSample;
  // An end never seen with its begin (both decided by one push) still counts as one utterance.
  if (listener.openBegin < 0) ++listener.utterancesBegun;
  const int number = listener.utterancesBegun;
  listener.openBegin = -1;
  ++listener.utterancesEnded;
  std::string savedFile;
  if (!listener.options.saveFolder.empty()) {
    const auto beginTime =
        std::time_t(listener.captureStartWall + double(begin) / listener.options.sampleRate);
    const SavedUtterance saved = UtteranceSaver_Save(listener.saver, begin, end, number, beginTime);
    if (!saved.error.empty()) {
      Fail(listener, "utterance " + std::to_string(number) + " was not saved: " + saved.error);
    } else if (saved.savedFrom > begin) {
      std::fprintf(stderr,
                   "tessel listen: utterance %d lasted %.1f s; only its last %d s were saved\n",
                   number, double(end - begin) / listener.options.sampleRate, kSaveLimitSeconds);
    }
    savedFile = saved.path;
  }
  ListenOutput_End(listener.output, number, begin, end, savedFile);
}

void ObserveContext(Listener& listener) {
  int32_t begin = -1;
  int32_t end = -1;
  Tessel_GetUttrEPD(listener.context, &begin, &end);
  const UtteranceChange change = UtteranceTracker_Step(listener.tracker, begin, end);
  if (change.began) {
    ++listener.utterancesBegun;
    listener.openBegin = listener.contextBase + begin;
    ListenOutput_Begin(listener.output, listener.utterancesBegun, listener.openBegin);
  }
  if (change.ended) FinishUtterance(listener, change.finished);
}

void RestartContextWhenDue(Listener& listener) {
  const int64_t sinceRestart = listener.samplesRead - listener.contextBase;
  if (listener.openBegin >= 0 ||
      sinceRestart < kContextRestartSeconds * listener.options.sampleRate) {
    return;
  }
  Tessel_Reset(listener.context);
  listener.contextBase = listener.samplesRead;
  listener.tracker = UtteranceTracker{};
}

void MeasureLevel(Listener& listener, const int16_t* frame) {
  for (int32_t i = 0; i < listener.frameSize; ++i) {
    listener.levelSum += double(frame[i]) * frame[i];
  }
  listener.levelCount += listener.frameSize;
}

void ShowStatus(Listener& listener) {
  const double meanSquare =
      listener.levelSum / double(listener.levelCount > 0 ? listener.levelCount : 1);
  const double levelDb =
      meanSquare > 0.0 ? 10.0 * std::log10(meanSquare / (32768.0 * 32768.0)) : -99.0;
  ListenOutput_Status(listener.output, listener.samplesRead, levelDb,
                      listener.openBegin >= 0 ? listener.utterancesBegun : 0);
  listener.levelSum = 0.0;
  listener.levelCount = 0;
}

void WatchForOverrun(Listener& listener) {
  const int64_t backlog = PulseCapture_Backlog(listener.capture);
  if (OverrunWatch_Check(listener.overrun, backlog)) {
    ListenOutput_Overrun(listener.output, listener.samplesRead, backlog);
    listener.failed = true;
  }
}

bool LimitReached(const Listener& listener) {
  const ListenOptions& options = listener.options;
  if (options.utterances && listener.utterancesEnded >= *options.utterances) return true;
  return options.seconds && double(listener.samplesRead) >= *options.seconds * options.sampleRate;
}

void Listen(Listener& listener) {
  const int32_t rate = listener.options.sampleRate;
  std::vector<int16_t> frame(size_t(listener.frameSize));
  const int64_t statusEvery = rate / kStatusPerSecond;
  int64_t nextStatus = statusEvery;
  while (!stopRequested && !LimitReached(listener)) {
    if (std::string reason = PulseCapture_Read(listener.capture, frame.data(), listener.frameSize);
        !reason.empty()) {
      Fail(listener, reason);
      break;
    }
    if (listener.samplesRead == 0) listener.captureStartWall = WallSeconds();
    Tessel_AddSample(listener.context, frame.data());
    if (!listener.options.saveFolder.empty()) {
      UtteranceSaver_Push(listener.saver, frame.data(), listener.frameSize);
    }
    listener.samplesRead += listener.frameSize;
    MeasureLevel(listener, frame.data());
    ObserveContext(listener);
    RestartContextWhenDue(listener);
    WatchForOverrun(listener);
    if (listener.samplesRead >= nextStatus) {
      ShowStatus(listener);
      nextStatus += statusEvery;
    }
    if (listener.output.writeError != 0) break;
  }
  if (listener.openBegin >= 0) {
    ListenOutput_Stopped(listener.output, listener.utterancesBegun, listener.openBegin,
                         listener.samplesRead);
  }
  ListenOutput_ClearStatus(listener.output);
}

int RunPrepared(Listener& listener) {
  const ListenOptions& options = listener.options;
  listener.frameSize = FrameSizeForMs(options.sampleRate, options.frameMs);
  listener.context = Tessel_Init(options.sampleRate, listener.frameSize);
  if (listener.context == nullptr) {
    std::fprintf(stderr, "tessel listen: the library refused a context for %d Hz\n",
                 int(options.sampleRate));
    return 1;
  }
  if (options.vadThreshold) Tessel_SetVADThreshold(listener.context, *options.vadThreshold);
  if (!options.saveFolder.empty()) {
    if (std::string reason =
            UtteranceSaver_Init(listener.saver, options.saveFolder, options.sampleRate);
        !reason.empty()) {
      std::fprintf(stderr, "tessel listen: %s\n", reason.c_str());
      return 2;
    }
  }
  if (std::string reason = PulseCapture_Open(listener.capture, options.device, options.sampleRate,
                                             listener.frameSize);
      !reason.empty()) {
    std::fprintf(stderr, "tessel listen: %s\n", reason.c_str());
    return 1;
  }
  listener.overrun.sampleRate = options.sampleRate;
  listener.overrun.bufferSamples = listener.capture.bufferSamples;
  listener.output.json = options.json;
  listener.output.statusLine = !options.json && isatty(STDOUT_FILENO);
  listener.output.sampleRate = options.sampleRate;
  CatchStopSignals();
  Listen(listener);
  if (listener.output.writeError != 0) {
    std::fprintf(stderr, "tessel listen: cannot write to standard output: %s\n",
                 std::strerror(listener.output.writeError));
    return 1;
  }
  return listener.failed ? 1 : 0;
}

}  // namespace

int RunListen(const ListenOptions& options) {
  Listener listener(options);
  int status = 1;
  try {
    status = RunPrepared(listener);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "tessel listen: not enough memory\n");
  }
  PulseCapture_Close(listener.capture);
  if (listener.context != nullptr) Tessel_Release(listener.context);
  return status;
}
