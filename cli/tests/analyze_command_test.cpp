// `tessel analyze` on real files at every rate, checked against the library driven directly.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include <nlohmann/json.hpp>

#include <tessel.h>
#include "run_tessel.h"
#include "support/linked_exports.h"
#include "support/test_signals.h"
#include "test_audio.h"

namespace {

using nlohmann::json;

// Two stretches of syllables with room after each for the detector to declare the end.
std::vector<int16_t> TwoUtterances(int rate) {
  return test_signals::SpeechInNoise(rate, 7.0, {{1.0, 2.3}, {4.0, 5.0}});
}

// What a host reads after pushing every whole frame: the last begin and the last end.
std::pair<int32_t, int32_t> FinalReading(const std::vector<int16_t>& samples, int rate,
                                         int frameSize) {
  const stream_runner::Trace trace = stream_runner::Run(kLinkedExports, rate, frameSize, samples);
  EXPECT_FALSE(trace.begins.empty());
  return {trace.begins.back(), trace.ends.back()};
}

size_t CountOf(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class AnalyzeCommand : public TesselProgramTest {};

}  // namespace

TEST_F(AnalyzeCommand, ListsEveryUtteranceAtEverySupportedRateInInputOrder) {
  const int rates[] = {48000, 8000, 22050, 11025, 44100, 16000};
  const int frameSizes[] = {960, 160, 440, 220, 882, 320};  // the 20 ms defaults
  std::vector<std::string> args = {"analyze", "--json", "-j", "3"};
  for (int rate : rates) {
    args.push_back(PathOf("two_" + std::to_string(rate) + ".wav"));
    ASSERT_TRUE(test_audio::WriteFile(args.back(), rate, 1, TwoUtterances(rate)));
  }
  const TesselRun run = Run(args);
  ASSERT_EQ(run.status, 0) << run.err;
  const auto lines = run.OutLines();
  ASSERT_EQ(lines.size(), 6u);

  for (size_t i = 0; i < 6; ++i) {
    const json j = json::parse(lines[i]);
    const int rate = rates[i];
    SCOPED_TRACE(rate);
    EXPECT_EQ(j["file"], args[4 + i]);
    EXPECT_EQ(j["sampleRate"], rate);
    EXPECT_EQ(j["frameSize"], frameSizes[i]);
    EXPECT_TRUE(j["vadThreshold"].is_null());
    const json& u = j["utterances"];
    // Both stretches of speech, the second ending with exactly what the context reports after
    // the last push; where the detector places them is the context's tests' concern.
    ASSERT_EQ(u.size(), 2u) << lines[i];
    EXPECT_LT(u[0]["endSample"], u[1]["beginSample"]);
    EXPECT_DOUBLE_EQ(u[0]["beginSeconds"], u[0]["beginSample"].get<double>() / rate);
    EXPECT_DOUBLE_EQ(u[1]["endSeconds"], u[1]["endSample"].get<double>() / rate);
    const auto [finalBegin, finalEnd] = FinalReading(TwoUtterances(rate), rate, frameSizes[i]);
    EXPECT_EQ(u[1]["beginSample"], finalBegin);
    EXPECT_EQ(u[1]["endSample"], finalEnd);

    ASSERT_FALSE(j["speech"].is_null());
    EXPECT_TRUE(j["snrDb"].is_number());
  }
}

TEST_F(AnalyzeCommand, UtteranceWithoutEndIsReportedOpen) {
  const std::string file = PathOf("open.wav");
  const std::vector<int16_t> speech = test_signals::SpeechInNoise(16000, 3.0, {{1.0, 3.0}});
  ASSERT_TRUE(test_audio::WriteFile(file, 16000, 1, speech));
  const TesselRun text = Run({"analyze", file});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("  utterance 1: from 0."), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("), not ended when the recording ends\n"), std::string::npos);

  const json j = json::parse(Run({"analyze", "--json", file}).out);
  ASSERT_EQ(j["utterances"].size(), 1u);
  EXPECT_TRUE(j["utterances"][0]["endSample"].is_null());
  EXPECT_TRUE(j["utterances"][0]["endSeconds"].is_null());
  EXPECT_EQ(j["utterances"][0]["beginSample"], FinalReading(speech, 16000, 320).first);
}

TEST_F(AnalyzeCommand, FrameSizeChoices) {
  const std::string file = PathOf("r11025.wav");
  ASSERT_TRUE(test_audio::WriteFile(file, 11025, 1, TwoUtterances(11025)));
  EXPECT_EQ(json::parse(Run({"analyze", "--json", "--frame-ms", "10", file}).out)["frameSize"],
            110);
  EXPECT_EQ(json::parse(Run({"analyze", "--json", "--frame-size", "198", file}).out)["frameSize"],
            198);

  const TesselRun refused = Run({"analyze", "--frame-size", "114", file});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err,
            "tessel: " + file +
                ": frame size 114 does not fit: at 11025 Hz a frame size must be even, "
                "between 110 and 220, and make an 8 kHz frame that is a multiple of 4 "
                "samples\n");
  EXPECT_EQ(Run({"analyze", "--frame-ms", "15", file}).status, 2);
  EXPECT_EQ(Run({"analyze", "--frame-ms", "10", "--frame-size", "110", file}).status, 2);
}

TEST_F(AnalyzeCommand, UnsupportedRateNamesTheSixRatesAndTheOtherFilesGoOn) {
  ASSERT_TRUE(test_audio::WriteFile(PathOf("r12000.wav"), 12000, 1, TwoUtterances(12000)));
  ASSERT_TRUE(test_audio::WriteFile(PathOf("r8000.wav"), 8000, 1, TwoUtterances(8000)));
  const TesselRun run = Run({"analyze", PathOf("r12000.wav"), PathOf("r8000.wav")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "tessel: " + PathOf("r12000.wav") +
                         ": sample rate 12000 Hz is not supported; the supported rates are 8000, "
                         "11025, 16000, 22050, 44100, 48000 Hz\n");
  EXPECT_EQ(run.out.rfind(PathOf("r8000.wav") + ": 8000 Hz", 0), 0u) << run.out;
}

TEST_F(AnalyzeCommand, ThresholdReachesTheDetector) {
  const std::string file = PathOf("t.wav");
  ASSERT_TRUE(test_audio::WriteFile(file, 16000, 1, TwoUtterances(16000)));
  const json j = json::parse(Run({"analyze", "--json", "--threshold", "2000000000", file}).out);
  EXPECT_EQ(j["vadThreshold"], 2000000000);
  EXPECT_TRUE(j["utterances"].empty());
  EXPECT_NE(Run({"analyze", "--threshold", "2000000000", file}).out.find("  no utterance found\n"),
            std::string::npos);
}

TEST_F(AnalyzeCommand, PlotAndTraceFoldersForManyFilesKeepSameNamesApart) {
  std::filesystem::create_directories(PathOf("a"));
  std::filesystem::create_directories(PathOf("b"));
  ASSERT_TRUE(test_audio::WriteFile(PathOf("a/x.wav"), 8000, 1, TwoUtterances(8000)));
  ASSERT_TRUE(test_audio::WriteFile(PathOf("b/x.wav"), 8000, 1,
                                    test_signals::SpeechInNoise(8000, 3.0, {{1.0, 3.0}})));
  const TesselRun run = Run({"analyze", "--plot", PathOf("plots"), "--trace", PathOf("traces"),
                             PathOf("a/x.wav"), PathOf("b/x.wav")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("  plot: " + PathOf("plots/x.svg") + "\n"), std::string::npos);
  EXPECT_NE(run.out.find("  plot: " + PathOf("plots/x-2.svg") + "\n"), std::string::npos);
  EXPECT_NE(run.out.find("  trace: " + PathOf("traces/x-2.csv") + "\n"), std::string::npos);
  EXPECT_EQ(CountOf(ReadAll(PathOf("plots/x.svg")), "<rect class=\"utterance\""), 2u);
  EXPECT_EQ(CountOf(ReadAll(PathOf("plots/x-2.svg")), "<rect class=\"utterance open\""), 1u);

  const TesselRun single =
      Run({"analyze", "--plot", PathOf("one.svg"), PathOf("a/x.wav"), PathOf("b/x.wav")});
  EXPECT_EQ(single.status, 2);
  EXPECT_EQ(single.out, "");
  EXPECT_NE(single.err.find("several input files need a folder"), std::string::npos) << single.err;
}

TEST_F(AnalyzeCommand, TextListsUtterancesAndTheEstimateEvenWhenThePlotCannotBeWritten) {
  const std::string file = PathOf("two.wav");
  ASSERT_TRUE(test_audio::WriteFile(file, 16000, 1, TwoUtterances(16000)));
  const TesselRun run = Run({"analyze", "--plot", PathOf("no/such/folder/p.svg"), file});
  EXPECT_EQ(run.status, 1);
  const auto lines = run.OutLines();
  ASSERT_EQ(lines.size(), 4u) << run.out;
  EXPECT_EQ(lines[0], file + ": 16000 Hz, 7.000 s, frames of 320 samples (20.0 ms)");
  EXPECT_EQ(lines[1].rfind("  utterance 1: ", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2].rfind("  utterance 2: ", 0), 0u) << lines[2];
  EXPECT_EQ(lines[3].rfind("  SNR ", 0), 0u) << lines[3];
  EXPECT_NE(run.err.find("cannot write the plot"), std::string::npos) << run.err;
}
