#include "listen_output.h"

#include <cerrno>

#include "report_format.h"

namespace {

constexpr char kClearLine[] = "\r\033[K";

void Write(ListenOutput& output, const char* text) {
  errno = 0;
  if ((std::fputs(text, output.out) == EOF || std::fflush(output.out) != 0) &&
      output.writeError == 0) {
    output.writeError = errno != 0 ? errno : EIO;
  }
}

void WriteEventLine(ListenOutput& output, const std::string& line) {
  if (output.statusShown) {
    Write(output, kClearLine);
    output.statusShown = false;
  }
  Write(output, line.c_str());
}

nlohmann::ordered_json Event(const char* name, int utterance, int64_t sample, int32_t rate) {
  return {{"event", name},
          {"utterance", utterance},
          {"sample", sample},
          {"seconds", Seconds(sample, rate)}};
}

std::string Number(int utterance) { return "utterance " + std::to_string(utterance); }

}  // namespace

void ListenOutput_Begin(ListenOutput& output, int utterance, int64_t beginSample) {
  const int32_t rate = output.sampleRate;
  WriteEventLine(output, output.json ? JsonLine(Event("begin", utterance, beginSample, rate))
                                     : Number(utterance) + " begins at " +
                                           SecondsText(beginSample, rate) + "\n");
}

void ListenOutput_End(ListenOutput& output, int utterance, int64_t beginSample, int64_t endSample,
                      const std::string& savedFile) {
  const int32_t rate = output.sampleRate;
  if (output.json) {
    nlohmann::ordered_json event = Event("end", utterance, endSample, rate);
    if (!savedFile.empty()) event["file"] = savedFile;
    WriteEventLine(output, JsonLine(event));
    return;
  }
  std::string line = Number(utterance) + " ends at " + SecondsText(endSample, rate) + " (" +
                     SecondsText(endSample - beginSample, rate) + " long)";
  if (!savedFile.empty()) line += ", saved as " + PrintableName(savedFile);
  WriteEventLine(output, line + "\n");
}

void ListenOutput_Stopped(ListenOutput& output, int utterance, int64_t beginSample,
                          int64_t stopSample) {
  const int32_t rate = output.sampleRate;
  if (output.json) {
    nlohmann::ordered_json event = Event("end", utterance, stopSample, rate);
    event["stopped"] = true;
    WriteEventLine(output, JsonLine(event));
    return;
  }
  WriteEventLine(output, Number(utterance) + " still open when listening stopped at " +
                             SecondsText(stopSample, rate) + " (begun at " +
                             SecondsText(beginSample, rate) + "; not saved)\n");
}

void ListenOutput_Overrun(ListenOutput& output, int64_t sample, int64_t backlogSamples) {
  const int32_t rate = output.sampleRate;
  const std::string reason = "overrun at " + SecondsText(sample, rate) + ": " +
                             SecondsText(backlogSamples, rate) +
                             " of audio waiting, the most the stream keeps: audio was lost "
                             "(the program fell behind the input)";
  std::fprintf(stderr, "%stessel listen: %s\n", output.statusShown ? kClearLine : "",
               reason.c_str());
  output.statusShown = false;
  if (output.json) {
    nlohmann::ordered_json event = {{"event", "overrun"},
                                    {"sample", sample},
                                    {"seconds", Seconds(sample, rate)},
                                    {"backlogSeconds", Seconds(backlogSamples, rate)}};
    WriteEventLine(output, JsonLine(event));
  }
}

void ListenOutput_Status(ListenOutput& output, int64_t sample, double levelDb, int openUtterance) {
  if (!output.statusLine) return;
  // The meter spans 60 dB, one mark per 2 dB.
  constexpr int kMarks = 30;
  int marks = int((levelDb + 60.0) / 2.0);
  marks = marks < 0 ? 0 : marks > kMarks ? kMarks : marks;
  char meter[kMarks + 1];
  for (int i = 0; i < kMarks; ++i) meter[i] = i < marks ? '#' : '.';
  meter[kMarks] = '\0';
  char state[48];
  if (openUtterance > 0) {
    std::snprintf(state, sizeof state, "speech: utterance %d", openUtterance);
  } else {
    std::snprintf(state, sizeof state, "waiting for speech");
  }
  char line[160];
  std::snprintf(line, sizeof line, "%s%9.1f s  [%s] %4.0f dBFS  %s", kClearLine,
                double(sample) / output.sampleRate, meter, levelDb, state);
  Write(output, line);
  output.statusShown = true;
}

void ListenOutput_ClearStatus(ListenOutput& output) {
  if (!output.statusShown) return;
  Write(output, kClearLine);
  output.statusShown = false;
}
