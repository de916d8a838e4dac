// What `tessel listen` prints: a line per begin and end (text or one JSON object each) and, on a
// terminal, a status line under them that follows the input. Every line is flushed at once so a
// reader sees each event as it is decided.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct ListenOutput {
  FILE* out = stdout;
  bool json = false;
  bool statusLine = false;  // text mode on a terminal
  int32_t sampleRate = 0;
  bool statusShown = false;
  int writeError = 0;  // the first errno of a failed write; 0 while every write succeeded
};

void ListenOutput_Begin(ListenOutput& output, int utterance, int64_t beginSample);

// savedFile: the WAV file written for it; empty when none.
void ListenOutput_End(ListenOutput& output, int utterance, int64_t beginSample, int64_t endSample,
                      const std::string& savedFile);

// The last line of an utterance still open when listening stops at stopSample.
void ListenOutput_Stopped(ListenOutput& output, int utterance, int64_t beginSample,
                          int64_t stopSample);

// Audio is being lost at `sample`: backlogSamples were waiting, as many as the stream keeps.
void ListenOutput_Overrun(ListenOutput& output, int64_t sample, int64_t backlogSamples);

// The status line: time, a level meter for levelDb (dB below full scale), the detector's state
// (openUtterance 0: waiting for speech). Formats into a fixed buffer: allocates nothing.
void ListenOutput_Status(ListenOutput& output, int64_t sample, double levelDb, int openUtterance);

// Takes the status line off the terminal before the program ends.
void ListenOutput_ClearStatus(ListenOutput& output);
