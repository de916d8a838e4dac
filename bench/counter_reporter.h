#pragma once

// The console report, keeping every run's counters by benchmark name, so that a benchmark can
// print ratios of runs made side by side after they have all run. With
// --benchmark_repetitions the median of the repetitions is taken.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class CounterReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      for (const auto& [counter, value] : run.counters) {
        counters_[counter][run.benchmark_name()] = value.value;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // The counter of the named run (its median when repeated), or 0 when it did not run.
  double Get(const std::string& counter, const std::string& name) const {
    auto values = counters_.find(counter);
    if (values == counters_.end()) return 0.0;
    auto it = values->second.find(name + "_median");
    if (it == values->second.end()) it = values->second.find(name);
    return it == values->second.end() ? 0.0 : it->second;
  }

 private:
  std::map<std::string, std::map<std::string, double>> counters_;
};
