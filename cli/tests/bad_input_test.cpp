// The command line on files, names, options and outputs that are not what they should be.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "run_tessel.h"
#include "support/test_signals.h"
#include "test_audio.h"

namespace {

using nlohmann::json;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;  // the sanitizers reserve far more address space than any limit
#else
constexpr bool kSanitized = false;
#endif

// A shell where writing past 4 KiB fails with EFBIG instead of ending the program.
constexpr char kSmallFiles[] = "trap '' XFSZ; ulimit -f 8;";
// A shell whose processes get 100 MB of address space. One malloc arena: each further thread's
// arena reserves 64 MB of address space, so a second file's first allocation could fail while
// the first file held the rest, and which file ran out would depend on timing.
constexpr char kLittleMemory[] = "ulimit -v 100000; export MALLOC_ARENA_MAX=1;";

class BadInput : public TesselProgramTest {
 protected:
  std::string Speech(const std::string& name) {
    const std::string path = PathOf(name);
    EXPECT_TRUE(test_audio::WriteFile(path, 16000, 1,
                                      test_signals::SpeechInNoise(16000, 3.0, {{0.5, 1.5}})));
    return path;
  }

  void Patch(const std::string& path, std::streamoff at, const std::string& bytes) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(at);
    file.write(bytes.data(), std::streamsize(bytes.size()));
    ASSERT_TRUE(file.good()) << path;
  }

  bool TemporaryFilesLeft() const {
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      if (entry.path().filename().string().rfind(".tessel-", 0) == 0) return true;
    }
    return false;
  }
};

}  // namespace

TEST_F(BadInput, PlotIsReplacedOnlyOnceTheNewOneIsComplete) {
  const std::string input = Speech("speech.wav");
  const std::string plot = PathOf("speech.svg");
  ASSERT_EQ(Run({"analyze", "--plot", plot, input}).status, 0);
  const std::string good = ReadAll(plot);
  ASSERT_GT(good.size(), 4096u);

  const TesselRun failed = Run({"analyze", "--json", "--plot", plot, input}, kSmallFiles);
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(ReadAll(plot), good);
  EXPECT_FALSE(TemporaryFilesLeft());
  const json j = json::parse(failed.out);
  EXPECT_FALSE(j.contains("plot"));
  EXPECT_EQ(j["error"], "cannot write the plot " + plot + ": File too large");
  EXPECT_EQ(failed.err,
            "tessel: " + input + ": cannot write the plot " + plot + ": File too large\n");
}

TEST_F(BadInput, PlotNeverOverwritesAnInputOrAnythingButAPlot) {
  const std::string take1 = Speech("take1.wav");
  const std::string take2 = Speech("take2.wav");
  const std::string original = ReadAll(take1);

  // The slip the option invites: the first recording is taken for the plot's name.
  const TesselRun slip = Run({"analyze", "--plot", take1, take2});
  EXPECT_EQ(slip.status, 2);
  EXPECT_EQ(slip.out, "");
  EXPECT_EQ(slip.err, "tessel: --plot " + take1 + ": " + take1 +
                          " exists and is not an SVG plot; nothing was written\n");

  // The same file under another name.
  std::filesystem::create_hard_link(take1, PathOf("alias.svg"));
  const TesselRun alias = Run({"analyze", "--plot", PathOf("alias.svg"), take1});
  EXPECT_EQ(alias.status, 2);
  EXPECT_EQ(alias.err, "tessel: --plot " + PathOf("alias.svg") + ": " + PathOf("alias.svg") +
                           " is the input file " + take1 + "; nothing was written\n");
  EXPECT_EQ(ReadAll(take1), original);
}

TEST_F(BadInput, PlotAndTraceNeverShareAFile) {
  const std::string take = Speech("take.wav");
  std::filesystem::create_directory(PathOf("sub"));
  for (const std::string& trace : {PathOf("both.svg"), PathOf("sub/../both.svg")}) {
    const TesselRun run = Run({"analyze", "--plot", PathOf("both.svg"), "--trace", trace, take});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "tessel: --trace " + trace + ": " + trace + " is the plot file " +
                           PathOf("both.svg") + "; nothing was written\n");
    EXPECT_FALSE(std::filesystem::exists(PathOf("both.svg")));
  }
}

TEST_F(BadInput, MemoryFollowsTheSamplesReadAndRunningOutFailsOneFile) {
  if (kSanitized) GTEST_SKIP() << "address-space limits do not apply under the sanitizers";
  // A FLAC file of 1000 samples whose header declares 2^31 - 1: the 36-bit total in
  // STREAMINFO, which always comes first, ends 26 bytes into the file.
  const std::string promise = PathOf("promise.flac");
  ASSERT_TRUE(test_audio::WriteFile(promise, 8000, 1, test_signals::UniformNoise(1000, 300, 7, 16),
                                    SF_FORMAT_FLAC | SF_FORMAT_PCM_16));
  std::string total = ReadAll(promise).substr(21, 1);
  total[0] = char(total[0] & 0xF0);
  Patch(promise, 21, total + "\x7F\xFF\xFF\xFF");

  // 300 MB of real (if sparse) 16-bit samples.
  const std::string huge = PathOf("huge.wav");
  ASSERT_TRUE(test_audio::WriteFile(huge, 8000, 1, std::vector<int16_t>{}));
  ASSERT_EQ(::truncate(huge.c_str(), 44 + 300'000'000), 0);
  Patch(huge, 4, std::string("\x24\xA3\xE1\x11", 4));   // RIFF size 36 + 300,000,000
  Patch(huge, 40, std::string("\x00\xA3\xE1\x11", 4));  // data size 300,000,000

  const std::string good = Speech("good.wav");
  const TesselRun run = Run({"snr", "-j", "2", promise, huge, good}, kLittleMemory);
  EXPECT_EQ(run.status, 1);
  const auto out = run.OutLines();
  ASSERT_EQ(out.size(), 2u) << run.out << run.err;
  EXPECT_EQ(out[0].rfind(promise + ": 8000 Hz, 0.125 s;", 0), 0u) << out[0];
  EXPECT_EQ(out[1].rfind(good + ": 16000 Hz, 3.000 s; speech ", 0), 0u) << out[1];
  EXPECT_NE(run.err.find("tessel: " + promise +
                         ": warning: the header declares 2147483647 samples but the file holds "
                         "1000; those 1000 were read\n"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("tessel: " + huge + ": not enough memory\n"), std::string::npos)
      << run.err;
}

TEST_F(BadInput, MoreSamplesThanTheLibraryTakesAreRefusedWithoutReadingThem) {
  if (kSanitized) GTEST_SKIP() << "address-space limits do not apply under the sanitizers";
  // A sparse 8-bit WAV that really holds 4,294,967,280 samples: reading them would take a
  // minute and gigabytes; the sample just past the limit is enough to refuse it.
  const std::string huge = PathOf("huge.wav");
  ASSERT_TRUE(test_audio::WriteFile(huge, 8000, 1, std::vector<int16_t>{},
                                    SF_FORMAT_WAV | SF_FORMAT_PCM_U8));
  ASSERT_EQ(::truncate(huge.c_str(), 44 + 4'294'967'280LL), 0);
  Patch(huge, 4, std::string("\xFF\xFF\xFF\xFF", 4));   // RIFF size: as large as it goes
  Patch(huge, 40, std::string("\xF0\xFF\xFF\xFF", 4));  // data size 4,294,967,280
  // A FLAC file whose header declares 2^32 samples but holds 1000: the try finds no sample
  // there, and the file is read from its start.
  const std::string promise = PathOf("promise.flac");
  ASSERT_TRUE(test_audio::WriteFile(promise, 8000, 1, test_signals::UniformNoise(1000, 300, 7, 16),
                                    SF_FORMAT_FLAC | SF_FORMAT_PCM_16));
  std::string total = ReadAll(promise).substr(21, 1);
  total[0] = char((total[0] & 0xF0) | 1);
  Patch(promise, 21, total + std::string(4, '\0'));

  const TesselRun run = Run({"snr", "-j", "1", huge, promise}, kLittleMemory);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.rfind(promise + ": 8000 Hz, 0.125 s;", 0), 0u) << run.out;
  EXPECT_EQ(run.err, "tessel: " + huge + ": too long: more than 2147483647 samples\n" +
                         "tessel: " + promise +
                         ": warning: the header declares 4294967296 samples but the file holds "
                         "1000; those 1000 were read\n");
}

TEST_F(BadInput, DataChunkLongerThanTheFileIsWarnedAbout) {
  const std::string cut = PathOf("cut.wav");
  ASSERT_TRUE(test_audio::WriteFile(cut, 8000, 1, test_signals::UniformNoise(3000, 300, 7, 16)));
  ASSERT_EQ(::truncate(cut.c_str(), 44 + 4000), 0);

  const TesselRun run = Run({"snr", "--json", cut});
  EXPECT_EQ(run.status, 0);
  const std::string warning =
      "the header declares more data than the file holds (data 6000 bytes, 4000 present); the "
      "2000 samples present were read";
  EXPECT_EQ(json::parse(run.out)["warning"], warning);
  EXPECT_EQ(run.err, "tessel: " + cut + ": warning: " + warning + "\n");
}

TEST_F(BadInput, RefusedRatesAndNamesAreNamedAndControlCharactersStayInTheirLine) {
  const std::string name = PathOf("rate\n0.wav");
  ASSERT_TRUE(test_audio::WriteFile(name, 8000, 1, test_signals::UniformNoise(1000, 300, 7, 16)));
  Patch(name, 24, std::string(8, '\0'));  // sample rate and byte rate
  const std::string large = PathOf("large.wav");
  std::filesystem::copy_file(name, large);
  Patch(large, 24, std::string("\x00\x28\x6B\xEE", 4));  // 4,000,000,000 Hz
  const std::string longName = PathOf(std::string(256, 'n'));

  const TesselRun run = Run({"snr", name, large, longName});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "tessel: \"" + PathOf("rate\\n0.wav") +
                         "\": the header gives a sample rate of 0 Hz; a recording needs a rate "
                         "above 0\n"
                         "tessel: " +
                         large +
                         ": the header gives a sample rate of 4000000000 Hz; a recording needs a "
                         "rate below 2147483648 Hz\n"
                         "tessel: " +
                         longName + ": file name too long\n");
}

TEST_F(BadInput, OptionErrorsSayWhatIsAccepted) {
  const std::string file = PathOf("x.wav");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"-j", "0"}, "--jobs: \"0\" is not accepted: give a whole number, 1 or more\n"},
      {{"--jobs", "abc"}, "--jobs: \"abc\" is not accepted: give a whole number, 1 or more\n"},
      {{"--channel", "-1"},
       "--channel: \"-1\" is not accepted: give a whole number from 0 to 2147483647 (channels "
       "count from 0)\n"},
      {{"--channel", "2147483648"},
       "--channel: \"2147483648\" is not accepted: give a whole number from 0 to 2147483647 "
       "(channels count from 0)\n"},
  };
  for (const auto& [options, message] : cases) {
    std::vector<std::string> args = {"snr"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(file);
    const TesselRun run = Run(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.substr(0, run.err.find('\n') + 1), message);
  }
}

TEST_F(BadInput, FailedWritesToStdoutFailTheRun) {
  const std::string file = Speech("speech.wav");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"snr", file}, std::vector<std::string>{"--version"}}) {
    const TesselRun run = Run(args, "", "/dev/full");
    EXPECT_EQ(run.status, 1) << args[0];
    EXPECT_EQ(run.err, "tessel: cannot write to standard output: No space left on device\n");
  }
}

TEST_F(BadInput, AMissingTraceLibraryFailsTheTracedFileAndSaysWhere) {
  const std::string file = PathOf("speech.wav");
  ASSERT_TRUE(test_audio::WriteFile(file, 8000, 1, test_signals::UniformNoise(8000, 300, 7, 16)));
  const TesselRun run = Run({"analyze", "--trace", PathOf("trace.csv"), file},
                            "TESSEL_TRACE_LIBRARY=/nowhere/libtessel_trace.so");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot watch the detector: the trace library "
                         "TESSEL_TRACE_LIBRARY=/nowhere/libtessel_trace.so cannot be loaded: "),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(std::filesystem::exists(PathOf("trace.csv")));
  // Without --trace the command needs nothing but libtessel.so.
  EXPECT_EQ(Run({"analyze", file}, "TESSEL_TRACE_LIBRARY=/nowhere/libtessel_trace.so").status, 0);
}
