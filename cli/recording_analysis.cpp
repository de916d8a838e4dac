#include "recording_analysis.h"

#include <cstdio>
#include <filesystem>

#include "frame_size.h"
#include "report_format.h"

namespace {

std::string Samples(int32_t sample) { return std::to_string(sample); }

std::string FrameText(const RecordingAnalysis& a) {
  char text[64];
  std::snprintf(text, sizeof text, "frames of %d samples (%.1f ms)", a.frameSize,
                1000.0 * a.frameSize / a.recording.sampleRate);
  return text;
}

std::string SnrLine(const SnrMeasure& snr, int32_t rate) {
  if (!snr.measurable) return "too short for an SNR estimate (more than 256 samples needed)";
  if (!snr.hasSpan) return "SNR: nothing measurable (no speech span)";
  char db[32];
  std::snprintf(db, sizeof db, "SNR %.2f dB", double(snr.snrDb));
  return std::string(db) + ", speech " + SecondsText(snr.spanBegin, rate) + " to " +
         SecondsText(snr.spanEnd, rate) + " (samples " + Samples(snr.spanBegin) + " to " +
         Samples(snr.spanEnd) + ")";
}

}  // namespace

std::string AnalyzeRecording(const AnalyzeOptions& options, bool traced, RecordingAnalysis& a) {
  const int32_t rate = a.recording.sampleRate;
  if (!IsSupportedRate(rate)) {
    return "sample rate " + std::to_string(rate) +
           " Hz is not supported; the supported rates are " + SupportedRatesText() + " Hz";
  }
  a.frameSize = options.frameSize ? *options.frameSize : FrameSizeForMs(rate, options.frameMs);
  if (!IsValidFrameSize(rate, a.frameSize)) {
    return "frame size " + std::to_string(a.frameSize) + " does not fit: " + FrameSizeRule(rate);
  }
  if (std::string reason = StreamRecording(a.recording.samples, rate, a.frameSize,
                                           options.vadThreshold, a.stream, traced);
      !reason.empty()) {
    return reason;
  }
  a.snr = MeasureSnr(a.recording.samples);
  return {};
}

std::string AnalysisText(const std::string& path, const RecordingAnalysis& a,
                         const AnalyzeOptions& options, const std::string& plotFile,
                         const std::string& traceFile) {
  const int32_t rate = a.recording.sampleRate;
  std::string text = PrintableName(path) + ": " + std::to_string(rate) + " Hz, " +
                     SecondsText(int64_t(a.recording.samples.size()), rate) + ", " + FrameText(a);
  if (options.vadThreshold) text += ", threshold " + std::to_string(*options.vadThreshold);
  text += "\n";
  if (a.stream.utterances.empty()) text += "  no utterance found\n";
  for (size_t i = 0; i < a.stream.utterances.size(); ++i) {
    const Utterance& u = a.stream.utterances[i];
    text += "  utterance " + std::to_string(i + 1) + ": ";
    if (u.endSample < 0) {
      text += "from " + SecondsText(u.beginSample, rate) + " (sample " + Samples(u.beginSample) +
              "), not ended when the recording ends\n";
    } else {
      text += SecondsText(u.beginSample, rate) + " to " + SecondsText(u.endSample, rate) +
              " (samples " + Samples(u.beginSample) + " to " + Samples(u.endSample) + ")\n";
    }
  }
  text += "  " + SnrLine(a.snr, rate) + "\n";
  if (!plotFile.empty()) text += "  plot: " + PrintableName(plotFile) + "\n";
  if (!traceFile.empty()) text += "  trace: " + PrintableName(traceFile) + "\n";
  return text;
}

nlohmann::ordered_json AnalysisJson(const std::string& path, const RecordingAnalysis& a,
                                    const AnalyzeOptions& options, const std::string& plotFile,
                                    const std::string& traceFile, const std::string& outputError) {
  const int32_t rate = a.recording.sampleRate;
  nlohmann::ordered_json utterances = nlohmann::ordered_json::array();
  for (const Utterance& u : a.stream.utterances) {
    const bool open = u.endSample < 0;
    utterances.push_back({
        {"beginSample", u.beginSample},
        {"endSample", open ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(u.endSample)},
        {"beginSeconds", Seconds(u.beginSample, rate)},
        {"endSeconds", open ? nlohmann::ordered_json(nullptr)
                            : nlohmann::ordered_json(Seconds(u.endSample, rate))},
    });
  }
  nlohmann::ordered_json out = {
      {"file", path},
      {"sampleRate", rate},
      {"channels", a.recording.channels},
      {"channel", options.channel},
      {"samples", a.recording.samples.size()},
      {"seconds", Seconds(int64_t(a.recording.samples.size()), rate)},
      {"frameSize", a.frameSize},
      {"vadThreshold", options.vadThreshold ? nlohmann::ordered_json(*options.vadThreshold)
                                            : nlohmann::ordered_json(nullptr)},
      {"utterances", utterances},
      {"snrDb", a.snr.measurable ? JsonFloat(a.snr.snrDb) : nlohmann::ordered_json(nullptr)},
  };
  if (a.snr.hasSpan) {
    out["speech"] = {{"beginSample", a.snr.spanBegin},
                     {"endSample", a.snr.spanEnd},
                     {"beginSeconds", Seconds(a.snr.spanBegin, rate)},
                     {"endSeconds", Seconds(a.snr.spanEnd, rate)}};
  } else {
    out["speech"] = nullptr;
  }
  if (!plotFile.empty()) out["plot"] = plotFile;
  if (!traceFile.empty()) out["trace"] = traceFile;
  if (!a.recording.warning.empty()) out["warning"] = a.recording.warning;
  if (!outputError.empty()) out["error"] = outputError;
  return out;
}

PlotData AnalysisPlot(const std::string& path, const RecordingAnalysis& a) {
  PlotData plot;
  plot.title = std::filesystem::path(path).filename().string();
  plot.samples = &a.recording.samples;
  plot.sampleRate = a.recording.sampleRate;
  plot.utterances = a.stream.utterances;
  if (a.snr.hasSpan) {
    plot.snrDb = a.snr.snrDb;
    plot.speechSpan = std::make_pair(a.snr.spanBegin, a.snr.spanEnd);
  }
  if (!a.stream.trace.empty()) plot.trace = &a.stream.trace;
  plot.details = std::to_string(a.recording.sampleRate) + " Hz, " +
                 SecondsText(int64_t(a.recording.samples.size()), a.recording.sampleRate) + ", " +
                 FrameText(a) + "; " + std::to_string(a.stream.utterances.size()) +
                 (a.stream.utterances.size() == 1 ? " utterance" : " utterances");
  return plot;
}
