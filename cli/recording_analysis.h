// One recording analysed as `tessel analyze` does it, and its report as text, JSON and a plot.
// Nothing here touches files, so the web page's module compiles this same code and reports the
// same numbers as the command line.
#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "analyze_command.h"
#include "audio_file.h"
#include "snr_measure.h"
#include "stream.h"
#include "svg_plot.h"

struct RecordingAnalysis {
  Recording recording;
  int32_t frameSize = 0;
  StreamResult stream;
  SnrMeasure snr;
};

// Streams a.recording frame by frame and measures its SNR, with the options' frame size and
// threshold. Returns an empty string, or a one-line reason (an unsupported rate, a refused
// frame size) without the file name.
std::string AnalyzeRecording(const AnalyzeOptions& options, bool traced, RecordingAnalysis& a);

// The report of `tessel analyze` for the file at path; plotFile and traceFile are the files
// written, empty when none was.
std::string AnalysisText(const std::string& path, const RecordingAnalysis& a,
                         const AnalyzeOptions& options, const std::string& plotFile,
                         const std::string& traceFile);

// The same as one JSON object. outputError: why the plot or the trace could not be written;
// empty when they were, or when none was asked for.
nlohmann::ordered_json AnalysisJson(const std::string& path, const RecordingAnalysis& a,
                                    const AnalyzeOptions& options, const std::string& plotFile,
                                    const std::string& traceFile, const std::string& outputError);

// What the plot of the file at path shows. It points into a, which must outlive it.
PlotData AnalysisPlot(const std::string& path, const RecordingAnalysis& a);
