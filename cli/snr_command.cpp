#include "snr_command.h"

#include <cstdio>
#include <new>

#include <nlohmann/json.hpp>

#include "audio_file.h"
#include "report_format.h"
#include "snr_measure.h"

namespace {

std::string SnrText(const std::string& path, const Recording& recording, const SnrMeasure& snr) {
  const int32_t rate = recording.sampleRate;
  std::string line = PrintableName(path) + ": " + std::to_string(rate) + " Hz, " +
                     SecondsText(int64_t(recording.samples.size()), rate);
  if (!snr.measurable) return line + "; too short to estimate (more than 256 samples needed)\n";
  if (!snr.hasSpan) return line + "; nothing measurable (no speech span)\n";
  line += "; speech " + SecondsText(snr.spanBegin, rate) + " to " + SecondsText(snr.spanEnd, rate) +
          " (samples " + std::to_string(snr.spanBegin) + " to " + std::to_string(snr.spanEnd) + ")";
  char db[32];
  std::snprintf(db, sizeof db, "; SNR %.2f dB\n", double(snr.snrDb));
  return line + db;
}

nlohmann::ordered_json SnrJson(const std::string& path, const Recording& recording, int channel,
                               const SnrMeasure& snr) {
  const int32_t rate = recording.sampleRate;
  nlohmann::ordered_json out = {
      {"file", path},
      {"sampleRate", rate},
      {"channels", recording.channels},
      {"channel", channel},
      {"samples", recording.samples.size()},
      {"seconds", Seconds(int64_t(recording.samples.size()), rate)},
  };
  if (snr.hasSpan) {
    out["speech"] = {{"beginSample", snr.spanBegin},
                     {"endSample", snr.spanEnd},
                     {"beginSeconds", Seconds(snr.spanBegin, rate)},
                     {"endSeconds", Seconds(snr.spanEnd, rate)}};
  } else {
    out["speech"] = nullptr;
  }
  out["snrDb"] = snr.measurable ? JsonFloat(snr.snrDb) : nlohmann::ordered_json(nullptr);
  if (!recording.warning.empty()) out["warning"] = recording.warning;
  return out;
}

FileReport MeasureFile(const std::string& path, const SnrOptions& options) {
  Recording recording;
  if (std::string reason = ReadRecording(path, options.channel, recording); !reason.empty()) {
    return FailedFileReport(path, reason, options.json);
  }
  FileReport report;
  report.warning = WarningLine(path, recording.warning);
  const SnrMeasure snr = MeasureSnr(recording.samples);
  report.output = options.json ? JsonLine(SnrJson(path, recording, options.channel, snr))
                               : SnrText(path, recording, snr);
  return report;
}

}  // namespace

FileReport RunSnr(const std::string& path, const SnrOptions& options) {
  try {
    return MeasureFile(path, options);
  } catch (const std::bad_alloc&) {
    return FailedFileReport(path, "not enough memory", options.json);
  }
}
