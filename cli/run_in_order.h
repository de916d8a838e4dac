// Runs one job per input file on several threads and prints the results in input order.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

struct FileReport {
  std::string output;  // for stdout, complete lines
  std::string error;   // one line for stderr without line feed, empty when the file succeeded
};

// Runs work(0) ... work(count - 1) on at most `jobs` threads. Each report is printed as soon
// as it and all before it are done, so output keeps the input order whatever finishes first.
// With showProgress a progress line is kept on stderr (meant for terminals only).
// Returns the number of reports that carried an error.
size_t RunInOrder(size_t count, unsigned jobs, const std::function<FileReport(size_t)>& work,
                  bool showProgress);
