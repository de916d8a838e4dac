// `tessel snr` on real files, its figures checked against the library called directly.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include <nlohmann/json.hpp>

#include <tessel.h>
#include "run_tessel.h"
#include "support/test_signals.h"
#include "test_audio.h"

namespace {

struct Expected {
  int32_t begin = 0;
  int32_t end = 0;
  float snr = 0;
};

Expected Direct(const std::vector<int16_t>& samples) {
  Expected e;
  int handle = 0;
  EXPECT_EQ(
      Tessel_GetSNR(&handle, samples.data(), int32_t(samples.size()), &e.begin, &e.end, &e.snr), 0);
  return e;
}

std::string TwoDecimals(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

class SnrCommand : public TesselProgramTest {};

}  // namespace

TEST_F(SnrCommand, TextLineAndJsonGiveTheLibrarysEstimate) {
  const auto samples = test_signals::SpeechInNoise(16000, 3.0, {{1.0, 2.0}}, 200);
  const std::string file = PathOf("speech.wav");
  ASSERT_TRUE(test_audio::WriteFile(file, 16000, 1, samples));
  const Expected e = Direct(samples);
  ASSERT_LT(e.begin, e.end);

  const TesselRun run = Run({"snr", file});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  char seconds[64];
  std::snprintf(seconds, sizeof seconds, "%.3f s to %.3f s", e.begin / 16000.0, e.end / 16000.0);
  EXPECT_EQ(run.out, file + ": 16000 Hz, 3.000 s; speech " + seconds + " (samples " +
                         std::to_string(e.begin) + " to " + std::to_string(e.end) + "); SNR " +
                         TwoDecimals(e.snr) + " dB\n");

  const TesselRun json = Run({"snr", "--json", file});
  ASSERT_EQ(json.status, 0) << json.err;
  ASSERT_EQ(json.OutLines().size(), 1u);
  const auto j = nlohmann::json::parse(json.out);
  EXPECT_EQ(j["file"], file);
  EXPECT_EQ(j["sampleRate"], 16000);
  EXPECT_EQ(j["samples"], samples.size());
  EXPECT_EQ(j["speech"]["beginSample"], e.begin);
  EXPECT_EQ(j["speech"]["endSample"], e.end);
  EXPECT_DOUBLE_EQ(j["speech"]["beginSeconds"].get<double>(), e.begin / 16000.0);
  EXPECT_EQ(j["snrDb"].get<float>(), e.snr);  // bit for bit after the decimal round trip
}

TEST_F(SnrCommand, UnreadableFilesAreNamedAndTheOthersStillMeasuredInOrder) {
  const auto samples = test_signals::SpeechInNoise(16000, 2.0, {{0.5, 1.5}});
  ASSERT_TRUE(test_audio::WriteFile(PathOf("good1.wav"), 16000, 1, samples));
  ASSERT_TRUE(test_audio::WriteFile(PathOf("good2.wav"), 16000, 1, samples));
  std::ofstream(PathOf("notes.wav")) << "not audio\n";

  const TesselRun run = Run({"snr", "-j", "3", PathOf("good1.wav"), PathOf("missing.wav"),
                             PathOf("notes.wav"), PathOf("good2.wav")});
  EXPECT_EQ(run.status, 1);
  const auto out = run.OutLines();
  ASSERT_EQ(out.size(), 2u) << run.out;
  EXPECT_EQ(out[0].rfind(PathOf("good1.wav") + ": ", 0), 0u);
  EXPECT_EQ(out[1].rfind(PathOf("good2.wav") + ": ", 0), 0u);
  const auto err = run.ErrLines();
  ASSERT_EQ(err.size(), 2u) << run.err;
  EXPECT_EQ(err[0], "tessel: " + PathOf("missing.wav") + ": no such file");
  EXPECT_EQ(err[1].rfind("tessel: " + PathOf("notes.wav") + ": ", 0), 0u) << err[1];

  // In JSON a failure takes its file's place in the list.
  const TesselRun json = Run({"snr", "--json", PathOf("missing.wav"), PathOf("good1.wav")});
  EXPECT_EQ(json.status, 1);
  const auto lines = json.OutLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(nlohmann::json::parse(lines[0]),
            (nlohmann::json{{"file", PathOf("missing.wav")}, {"error", "no such file"}}));
  EXPECT_EQ(nlohmann::json::parse(lines[1])["file"], PathOf("good1.wav"));
}

// Speech on the right channel only, noise on the left: both commands read the chosen channel.
TEST_F(SnrCommand, ChannelChoosesWhatIsMeasuredAndWhatIsStreamed) {
  const auto left = test_signals::UniformNoise(16000 * 3, 50, 1, 16);
  const auto right = test_signals::SpeechInNoise(16000, 3.0, {{0.5, 1.5}});
  std::vector<int16_t> stereo;
  for (size_t i = 0; i < left.size(); ++i) {
    stereo.push_back(left[i]);
    stereo.push_back(right[i]);
  }
  const std::string file = PathOf("stereo.wav");
  ASSERT_TRUE(test_audio::WriteFile(file, 16000, 2, stereo));
  const Expected e = Direct(right);

  const TesselRun run = Run({"snr", "--json", "--channel", "1", file});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto j = nlohmann::json::parse(run.out);
  EXPECT_EQ(j["channels"], 2);
  EXPECT_EQ(j["channel"], 1);
  EXPECT_EQ(j["speech"]["beginSample"], e.begin);
  EXPECT_EQ(j["snrDb"].get<float>(), e.snr);
  const auto parse = [&](std::vector<std::string> args) {
    return nlohmann::json::parse(Run(args).out);
  };
  EXPECT_EQ(parse({"analyze", "--json", "--channel", "1", file})["utterances"].size(), 1u);
  EXPECT_TRUE(parse({"analyze", "--json", file})["utterances"].empty());

  const TesselRun beyond = Run({"snr", "--channel", "2", file});
  EXPECT_EQ(beyond.status, 1);
  EXPECT_EQ(beyond.out, "");
  EXPECT_EQ(beyond.err, "tessel: " + file +
                            ": has 2 channels, channel 2 does not exist (channels count from 0)\n");
}

TEST_F(SnrCommand, TooShortOrNothingMeasurableIsReportedNotFailed) {
  ASSERT_TRUE(test_audio::WriteFile(PathOf("short.wav"), 8000, 1,
                                    test_signals::UniformNoise(256, 1000, 12345, 16)));
  const TesselRun run = Run({"snr", PathOf("short.wav")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            PathOf("short.wav") +
                ": 8000 Hz, 0.032 s; too short to estimate (more than 256 samples needed)\n");
  const TesselRun json = Run({"snr", "--json", PathOf("short.wav")});
  const auto j = nlohmann::json::parse(json.out);
  EXPECT_TRUE(j["snrDb"].is_null());
  EXPECT_TRUE(j["speech"].is_null());

  // Digital silence: every frame has one level, so there is no span and no SNR to report.
  const std::string silence = PathOf("silence.wav");
  ASSERT_TRUE(test_audio::WriteFile(silence, 8000, 1, std::vector<int16_t>(8000, 0)));
  EXPECT_EQ(Run({"snr", silence}).out,
            silence + ": 8000 Hz, 1.000 s; nothing measurable (no speech span)\n");
  const TesselRun analyzed = Run({"analyze", silence});
  EXPECT_EQ(analyzed.status, 0);
  EXPECT_NE(analyzed.out.find("\n  no utterance found\n  SNR: nothing measurable (no speech "
                              "span)\n"),
            std::string::npos)
      << analyzed.out;
  const auto silent = nlohmann::json::parse(Run({"snr", "--json", silence}).out);
  EXPECT_TRUE(silent["speech"].is_null());
  EXPECT_EQ(silent["snrDb"], 0.0);
}

TEST_F(SnrCommand, AnyRateIsMeasured) {
  // The whole-recording estimate uses no rate, so rates a context refuses still work.
  const auto samples = test_signals::SpeechInNoise(32000, 2.0, {{0.5, 1.5}});
  ASSERT_TRUE(test_audio::WriteFile(PathOf("r32k.wav"), 32000, 1, samples));
  const TesselRun run = Run({"snr", PathOf("r32k.wav")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find(": 32000 Hz, 2.000 s; speech "), std::string::npos) << run.out;
}

TEST_F(SnrCommand, VersionHelpAndUsageErrors) {
  const TesselRun version = Run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("tessel " TESSEL_PROJECT_VERSION "\n") + Tessel_VerInfo());

  EXPECT_EQ(Run({}).status, 2);
  EXPECT_EQ(Run({"snr"}).status, 2);
  EXPECT_EQ(Run({"frobnicate"}).status, 2);
}
