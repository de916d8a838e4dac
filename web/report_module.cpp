// The command line's analysis for the web page: samples that the page read from a WAV file go
// through the very code of `tessel analyze`, and come back as its JSON line, its text report
// and its SVG plot, so the page shows the command line's numbers and picture.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <new>
#include <string>

#include "recording_analysis.h"
#include "report_format.h"

struct WebReport {
  std::string json;  // the line of `tessel analyze --json`, or its {"file", "error"} object
  std::string text;  // the report of `tessel analyze`, or the one-line error "NAME: reason"
  std::string svg;   // the plot of `tessel analyze --plot`; empty after an error
};

namespace {

void Fill(WebReport& report, const std::string& name, RecordingAnalysis& a) {
  const AnalyzeOptions options;
  if (std::string reason = AnalyzeRecording(options, false, a); !reason.empty()) {
    const FileReport failed = FailedFileReport(name, reason, true);
    report.json = failed.output;
    report.text = failed.error;
    return;
  }
  AnalyzeOptions json = options;
  json.json = true;
  report.json = JsonLine(AnalysisJson(name, a, json, {}, {}, {}));
  report.text = AnalysisText(name, a, options, {}, {});
  report.svg = RenderSvgPlot(AnalysisPlot(name, a));
}

}  // namespace

extern "C" {

// samples: count samples of the file's first channel, as stored; sampleRate and channels as the
// file's header gives them; name: the file's name in UTF-8. Returns the report, or null when
// memory ran out; free it with TesselWeb_Free.
EMSCRIPTEN_KEEPALIVE WebReport* TesselWeb_Analyze(const int16_t* samples, int32_t count,
                                                  int32_t sampleRate, int32_t channels,
                                                  const char* name) {
  WebReport* report = new (std::nothrow) WebReport;
  if (report == nullptr) return nullptr;
  RecordingAnalysis a;
  a.recording.samples.assign(samples, samples + count);
  a.recording.sampleRate = sampleRate;
  a.recording.channels = channels;
  Fill(*report, name, a);
  return report;
}

EMSCRIPTEN_KEEPALIVE const char* TesselWeb_Json(const WebReport* report) {
  return report->json.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* TesselWeb_Text(const WebReport* report) {
  return report->text.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* TesselWeb_Svg(const WebReport* report) {
  return report->svg.c_str();
}

EMSCRIPTEN_KEEPALIVE void TesselWeb_Free(WebReport* report) { delete report; }
}
