#include "run_in_order.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

void ClearProgress() { std::fputs("\r\033[K", stderr); }

void ShowProgress(size_t done, size_t count) {
  std::fprintf(stderr, "\r\033[Ktessel: %zu of %zu files done", done, count);
  std::fflush(stderr);
}

}  // namespace

RunSummary RunInOrder(size_t count, unsigned jobs, const std::function<FileReport(size_t)>& work,
                      bool showProgress) {
  std::vector<std::optional<FileReport>> reports(count);
  std::mutex mutex;
  std::condition_variable finished;
  std::atomic<size_t> next{0};
  size_t completed = 0;

  auto worker = [&] {
    for (size_t i = next++; i < count; i = next++) {
      FileReport report = work(i);
      std::lock_guard lock(mutex);
      reports[i] = std::move(report);
      ++completed;
      finished.notify_one();
    }
  };
  const size_t threadCount = std::clamp<size_t>(jobs, 1, std::max<size_t>(count, 1));
  std::vector<std::thread> threads;
  for (size_t t = 0; t < threadCount; ++t) threads.emplace_back(worker);

  RunSummary summary;
  size_t seen = 0;
  size_t printed = 0;
  std::unique_lock lock(mutex);
  while (printed < count) {
    finished.wait(lock, [&] { return completed != seen; });
    seen = completed;
    if (showProgress) ClearProgress();
    while (printed < count && reports[printed]) {
      const FileReport& report = *reports[printed];
      if (summary.outputError == 0 && !report.output.empty()) {
        errno = 0;
        if (std::fputs(report.output.c_str(), stdout) == EOF || std::fflush(stdout) != 0) {
          summary.outputError = errno != 0 ? errno : EIO;
        }
      }
      if (!report.warning.empty()) std::fprintf(stderr, "tessel: %s\n", report.warning.c_str());
      if (!report.error.empty()) {
        std::fprintf(stderr, "tessel: %s\n", report.error.c_str());
        ++summary.failedFiles;
      }
      reports[printed].reset();
      ++printed;
    }
    if (showProgress && printed < count) ShowProgress(seen, count);
  }
  lock.unlock();
  for (auto& thread : threads) thread.join();
  return summary;
}
