// Recording 16-bit mono frames from a sound server through PulseAudio's simple API (PipeWire
// serves the same API). Built without libpulse-simple, opening fails with a plain reason.
#pragma once

#include <cstdint>
#include <string>

struct pa_simple;  // the library's stream, declared here so that callers need no libpulse

struct PulseCapture {
  pa_simple* stream = nullptr;
  int32_t sampleRate = 0;
  int64_t bufferSamples = 0;  // the most the server and this process queue before audio is lost
};

// Connects to the sound server (PULSE_SERVER or the usual lookup) and starts recording S16LE
// mono at sampleRate from `device` (a source name, a sink's ".monitor" included; empty for the
// server's default source), handed over frameSize samples at a time. Returns an empty string,
// or one line naming the cause: no server, no such device, a refused format.
std::string PulseCapture_Open(PulseCapture& capture, const std::string& device, int32_t sampleRate,
                              int32_t frameSize);

// Waits for exactly `count` samples. Returns an empty string, or why the stream failed.
std::string PulseCapture_Read(PulseCapture& capture, int16_t* samples, int32_t count);

// Samples captured but not read yet, in the server and in this process: how far the reader
// lags behind the input. -1 when the server could not say.
int64_t PulseCapture_Backlog(PulseCapture& capture);

void PulseCapture_Close(PulseCapture& capture);
