// Where `--plot` puts the pictures and `--trace` the detector's records: the named file for
// one input, one file per input in the named folder otherwise.
#pragma once

#include <string>
#include <vector>

// Fills plotFiles with one path per input, creating the folder when one is needed. Returns
// an empty string, or a one-line reason why the option cannot be used; a plot file that is
// one of the inputs, under whatever name, is such a reason.
std::string PlotFilesFor(const std::string& plotOption, const std::vector<std::string>& inputs,
                         std::vector<std::string>& plotFiles);

// The same for `--trace`: FILE.csv for one input, one .csv per input in a folder otherwise.
std::string TraceFilesFor(const std::string& traceOption, const std::vector<std::string>& inputs,
                          std::vector<std::string>& traceFiles);

// An empty string, or a one-line reason when a trace file and a plot file are one file, under
// whatever names: one of the two would be lost.
std::string TraceAndPlotClash(const std::string& traceOption,
                              const std::vector<std::string>& traceFiles,
                              const std::vector<std::string>& plotFiles);
