// tessel: the library's two roads on recordings from disk.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <CLI/CLI.hpp>

#include <tessel.h>
#include "analyze_command.h"
#include "frame_size.h"
#include "listen_command.h"
#include "plot_paths.h"
#include "snr_command.h"
#include "utterance_saver.h"

namespace {

std::string VersionText() {
  std::string banner = "tessel " TESSEL_PROJECT_VERSION "\n";
  banner += Tessel_VerInfo();
  while (!banner.empty() && banner.back() == '\n') banner.pop_back();
  return banner;
}

unsigned DefaultJobs() { return std::max(1u, std::thread::hardware_concurrency()); }

// Digits only, from `least` to `most`. Where `capAtMost`, a larger number counts as `most`:
// any number of files at once above the number of files means all of them.
CLI::Validator WholeNumber(unsigned long long least, unsigned long long most, bool capAtMost,
                           const std::string& accepted) {
  return CLI::Validator(
      [=](std::string& text) -> std::string {
        const bool digits =
            !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
        if (digits) {
          errno = 0;
          const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
          const bool tooLarge = errno == ERANGE || value > most;
          if (tooLarge && capAtMost) text = std::to_string(most);
          if (tooLarge ? capAtMost : value >= least) return {};
        }
        return "\"" + text.substr(0, 40) + "\" is not accepted: give " + accepted;
      },
      "", "");
}

// Output that never reached its reader is a failure, whatever else went well.
int FinishOutput(int status, int writeError) {
  errno = 0;
  if (std::fflush(stdout) != 0 && writeError == 0) writeError = errno != 0 ? errno : EIO;
  if (writeError == 0 && std::ferror(stdout)) writeError = EIO;
  if (writeError == 0) return status;
  std::fprintf(stderr, "tessel: cannot write to standard output: %s\n", std::strerror(writeError));
  return status == 0 ? 1 : status;
}

struct CommonOptions {
  std::vector<std::string> files;
  int channel = 0;
  bool json = false;
  unsigned jobs = DefaultJobs();
};

void AddCommonOptions(CLI::App* command, CommonOptions& common) {
  command->add_option("files", common.files, "Audio files")->required();
  command->add_option("--channel", common.channel, "Channel of multi-channel files, counted from 0")
      ->capture_default_str()
      ->transform(WholeNumber(0, INT_MAX, false,
                              "a whole number from 0 to 2147483647 (channels count from 0)"));
  command->add_flag("--json", common.json, "One JSON object per file, one per line");
  command->add_option("-j,--jobs", common.jobs, "Files processed at once")
      ->default_str("all cores")
      ->transform(WholeNumber(1, UINT_MAX, true, "a whole number, 1 or more"));
}

CLI::Option* AddFrameMsOption(CLI::App* command, int& frameMs) {
  return command
      ->add_option("--frame-ms", frameMs,
                   "Push frames of about 10 or 20 ms: the nearest size the library accepts")
      ->capture_default_str()
      ->check(CLI::IsMember({10, 20}));
}

void AddThresholdOption(CLI::App* command, std::optional<int32_t>& vadThreshold) {
  command->add_option("--threshold", vadThreshold,
                      "Minimum energy threshold of the detector (library default 156)");
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "Speech end points and signal-to-noise ratio of recordings, measured by the "
      "Tessel library.",
      "tessel"};
  app.set_version_flag("--version", VersionText(),
                       "Print the version and the library's banner and exit");
  app.require_subcommand(1);
  app.footer(
      "Files are read with libsndfile (WAV, FLAC, AIFF, OGG, ...); the chosen channel is "
      "converted to 16 bits.\nResults keep the order of the files. Exit status: 0 when "
      "every file succeeded, 1 when any failed or the results could not be written, 2 for a "
      "usage error.");

  CommonOptions common;

  CLI::App* snr =
      app.add_subcommand("snr", "Speech span and SNR of each whole recording (any sample rate)");
  AddCommonOptions(snr, common);

  AnalyzeOptions analyze;
  std::string plot;
  std::string trace;
  CLI::App* analyzeCommand = app.add_subcommand(
      "analyze",
      "Every utterance a live host would see, streaming the recording frame by frame, and the "
      "SNR (8000, 11025, 16000, 22050, 44100 or 48000 Hz)");
  AddCommonOptions(analyzeCommand, common);
  CLI::Option* frameMs = AddFrameMsOption(analyzeCommand, analyze.frameMs);
  analyzeCommand
      ->add_option("--frame-size", analyze.frameSize,
                   "Push frames of exactly N samples (even, 10 to 20 ms at the file's rate)")
      ->excludes(frameMs);
  AddThresholdOption(analyzeCommand, analyze.vadThreshold);
  analyzeCommand->add_option(
      "--plot", plot,
      "Draw the waveform with the utterances as SVG: FILE.svg for one input, a folder for many");
  analyzeCommand->add_option(
      "--trace", trace,
      "Write the detector's view of every frame as CSV (energy, threshold, pitch, state, begin "
      "and end): FILE.csv for one input, a folder for many; a plot then shows it too");

  ListenOptions listen;
  CLI::App* listenCommand = app.add_subcommand(
      "listen",
      "Utterances as they happen in audio from the sound server (PulseAudio or PipeWire), "
      "until Ctrl-C");
  listenCommand->add_option("--device", listen.device,
                            "Source to record from, a sink's NAME.monitor included (default: the "
                            "server's default source)");
  listenCommand->add_option("--rate", listen.sampleRate, "Capture rate in Hz")
      ->capture_default_str()
      ->check(
          CLI::IsMember(std::vector<int>(std::begin(kSupportedRates), std::end(kSupportedRates))));
  AddFrameMsOption(listenCommand, listen.frameMs);
  AddThresholdOption(listenCommand, listen.vadThreshold);
  listenCommand->add_flag("--json", listen.json,
                          "One JSON object per event and line: begin, end (and overrun)");
  listenCommand->add_option(
      "--save", listen.saveFolder,
      "Write each finished utterance into this folder as a 16-bit WAV file (at most its last " +
          std::to_string(kSaveLimitSeconds) + " s)");
  listenCommand->add_option("--utterances", listen.utterances, "Stop once N utterances ended")
      ->transform(WholeNumber(1, INT_MAX, false, "a whole number, 1 or more"));
  listenCommand->add_option("--seconds", listen.seconds, "Stop after S seconds of audio")
      ->check(CLI::PositiveNumber);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Help and version pass through here, so that a failed write is seen with its reason.
    std::ostringstream out;
    std::ostringstream err;
    const int status = app.exit(e, out, err);
    std::fputs(err.str().c_str(), stderr);
    errno = 0;
    const int writeError = std::fputs(out.str().c_str(), stdout) == EOF ? errno : 0;
    return FinishOutput(status == 0 ? 0 : 2, writeError);
  }

  if (listenCommand->parsed()) return RunListen(listen);

  const auto& files = common.files;
  const bool showProgress = isatty(STDERR_FILENO) && files.size() > 1;
  RunSummary summary;
  if (snr->parsed()) {
    const SnrOptions options{common.channel, common.json};
    summary = RunInOrder(
        files.size(), common.jobs, [&](size_t i) { return RunSnr(files[i], options); },
        showProgress);
  } else if (analyzeCommand->parsed()) {
    analyze.channel = common.channel;
    analyze.json = common.json;
    std::vector<std::string> plotFiles(files.size());
    if (!plot.empty()) {
      if (std::string reason = PlotFilesFor(plot, files, plotFiles); !reason.empty()) {
        std::fprintf(stderr, "tessel: %s\n", reason.c_str());
        return 2;
      }
    }
    std::vector<std::string> traceFiles(files.size());
    if (!trace.empty()) {
      std::string reason = TraceFilesFor(trace, files, traceFiles);
      if (reason.empty() && !plot.empty()) reason = TraceAndPlotClash(trace, traceFiles, plotFiles);
      if (!reason.empty()) {
        std::fprintf(stderr, "tessel: %s\n", reason.c_str());
        return 2;
      }
    }
    summary = RunInOrder(
        files.size(), common.jobs,
        [&](size_t i) { return RunAnalyze(files[i], analyze, plotFiles[i], traceFiles[i]); },
        showProgress);
  }
  return FinishOutput(summary.failedFiles == 0 ? 0 : 1, summary.outputError);
}
