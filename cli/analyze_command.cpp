#include "analyze_command.h"

#include <new>

#include "audio_file.h"
#include "recording_analysis.h"
#include "replace_file.h"
#include "report_format.h"
#include "svg_plot.h"
#include "trace_csv.h"

namespace {

std::string WritePlot(const std::string& path, const RecordingAnalysis& a,
                      const std::string& plotFile) {
  if (std::string reason = ReplaceFileContents(plotFile, RenderSvgPlot(AnalysisPlot(path, a)));
      !reason.empty()) {
    return "cannot write the plot " + PrintableName(plotFile) + ": " + reason;
  }
  return {};
}

std::string Analyze(const std::string& path, const AnalyzeOptions& options, bool traced,
                    RecordingAnalysis& a) {
  if (std::string reason = ReadRecording(path, options.channel, a.recording); !reason.empty()) {
    return reason;
  }
  return AnalyzeRecording(options, traced, a);
}

FileReport AnalyzeFile(const std::string& path, const AnalyzeOptions& options,
                       const std::string& plotFile, const std::string& traceFile) {
  RecordingAnalysis a;
  if (std::string reason = Analyze(path, options, !traceFile.empty(), a); !reason.empty()) {
    return FailedFileReport(path, reason, options.json);
  }
  FileReport report;
  report.warning = WarningLine(path, a.recording.warning);
  std::string outputError;
  std::string writtenPlot;
  if (!plotFile.empty()) {
    outputError = WritePlot(path, a, plotFile);
    if (outputError.empty()) writtenPlot = plotFile;
  }
  std::string writtenTrace;
  if (!traceFile.empty()) {
    if (std::string reason = ReplaceFileContents(traceFile, TraceCsv(a.stream.trace));
        !reason.empty()) {
      reason = "cannot write the trace " + PrintableName(traceFile) + ": " + reason;
      outputError = outputError.empty() ? reason : outputError + "; " + reason;
    } else {
      writtenTrace = traceFile;
    }
  }
  if (!outputError.empty()) report.error = PrintableName(path) + ": " + outputError;
  report.output =
      options.json
          ? JsonLine(AnalysisJson(path, a, options, writtenPlot, writtenTrace, outputError))
          : AnalysisText(path, a, options, writtenPlot, writtenTrace);
  return report;
}

}  // namespace

FileReport RunAnalyze(const std::string& path, const AnalyzeOptions& options,
                      const std::string& plotFile, const std::string& traceFile) {
  try {
    return AnalyzeFile(path, options, plotFile, traceFile);
  } catch (const std::bad_alloc&) {
    return FailedFileReport(path, "not enough memory", options.json);
  }
}
