#include "pulse_capture.h"

#if TESSEL_WITH_PULSE

#include <pulse/error.h>
#include <pulse/simple.h>

#include <cstdlib>

namespace {

// How much the server and the client may queue for a reader that is late: enough to ride out
// a slow disk while an utterance is saved, small enough that falling behind shows soon.
constexpr int32_t kBufferSeconds = 2;

std::string ServerName() {
  const char* server = std::getenv("PULSE_SERVER");
  return server != nullptr && *server != '\0' ? std::string(" at ") + server : std::string();
}

std::string OpenFailure(int error, const std::string& device, int32_t sampleRate) {
  const std::string reason = pa_strerror(error);
  switch (error) {
    case PA_ERR_CONNECTIONREFUSED:
    case PA_ERR_INVALIDSERVER:
    case PA_ERR_CONNECTIONTERMINATED:
    case PA_ERR_TIMEOUT:
    case PA_ERR_AUTHKEY:
    case PA_ERR_ACCESS:
      return "cannot reach the sound server" + ServerName() + ": " + reason;
    case PA_ERR_NOENTITY:
      return "the sound server has no source named \"" + device +
             "\" (pactl list short sources lists them; a sink's is NAME.monitor): " + reason;
    case PA_ERR_NOTSUPPORTED:
    case PA_ERR_INVALID:
      return "the sound server refused to record 16-bit mono at " + std::to_string(sampleRate) +
             " Hz" + (device.empty() ? "" : " from \"" + device + "\"") + ": " + reason;
    default:
      return "cannot record from the sound server" + ServerName() + ": " + reason;
  }
}

}  // namespace

std::string PulseCapture_Open(PulseCapture& capture, const std::string& device, int32_t sampleRate,
                              int32_t frameSize) {
  pa_sample_spec sampleFormat{};
  sampleFormat.format = PA_SAMPLE_S16LE;
  sampleFormat.rate = uint32_t(sampleRate);
  sampleFormat.channels = 1;
  const uint32_t frameBytes = uint32_t(frameSize) * 2;
  pa_buffer_attr buffer{};
  buffer.maxlength = uint32_t(sampleRate) * 2 * kBufferSeconds;
  // The server sends every frame as soon as it is captured, so that no delay is added to the
  // detector's own.
  buffer.fragsize = frameBytes;
  buffer.tlength = buffer.prebuf = buffer.minreq = uint32_t(-1);
  int error = 0;
  pa_simple* simple =
      pa_simple_new(nullptr, "tessel", PA_STREAM_RECORD, device.empty() ? nullptr : device.c_str(),
                    "tessel listen", &sampleFormat, nullptr, &buffer, &error);
  if (simple == nullptr) return OpenFailure(error, device, sampleRate);
  capture.stream = simple;
  capture.sampleRate = sampleRate;
  // The server queues up to maxlength for a late client, and the client library as much again.
  const int64_t queueSamples = int64_t(buffer.maxlength) / 2;
  capture.bufferSamples = 2 * queueSamples;
  return {};
}

std::string PulseCapture_Read(PulseCapture& capture, int16_t* samples, int32_t count) {
  int error = 0;
  if (pa_simple_read(capture.stream, samples, size_t(count) * 2, &error) < 0) {
    return "recording stopped: " + std::string(pa_strerror(error));
  }
  return {};
}

int64_t PulseCapture_Backlog(PulseCapture& capture) {
  int error = 0;
  const pa_usec_t latency = pa_simple_get_latency(capture.stream, &error);
  if (latency == pa_usec_t(-1)) return -1;
  return int64_t(latency * uint64_t(capture.sampleRate) / 1000000u);
}

void PulseCapture_Close(PulseCapture& capture) {
  if (capture.stream == nullptr) return;
  pa_simple_free(capture.stream);
  capture.stream = nullptr;
}

#else

std::string PulseCapture_Open(PulseCapture&, const std::string&, int32_t, int32_t) {
  return "this tessel was built without sound-server support (libpulse-simple was not found "
         "when it was built)";
}

std::string PulseCapture_Read(PulseCapture&, int16_t*, int32_t) {
  return "built without sound-server support";
}

int64_t PulseCapture_Backlog(PulseCapture&) { return -1; }

void PulseCapture_Close(PulseCapture&) {}

#endif
