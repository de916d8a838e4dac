// Runs one job per input file on several threads and prints the results in input order.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

struct FileReport {
  std::string output;   // for stdout, complete lines
  std::string error;    // one line for stderr without line feed, empty when the file succeeded
  std::string warning;  // one line for stderr without line feed; not a failure
};

struct RunSummary {
  size_t failedFiles = 0;  // reports that carried an error
  int outputError = 0;     // errno of the first write to stdout that failed; 0 when none did
};

// Runs work(0) ... work(count - 1) on at most `jobs` threads. Each report is printed as soon
// as it and all before it are done, so output keeps the input order whatever finishes first.
// Once a write to stdout fails nothing more is written there; the files still run and their
// errors still reach stderr. With showProgress a progress line is kept on stderr (meant for
// terminals only).
RunSummary RunInOrder(size_t count, unsigned jobs, const std::function<FileReport(size_t)>& work,
                      bool showProgress);
