#include "audio_file.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/test_signals.h"
#include "test_audio.h"

namespace {

class AudioFileTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(testing::TempDir()) /
           ("tessel_audio_file_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

  std::filesystem::path dir_;
};

}  // namespace

TEST_F(AudioFileTest, IntegerEncodingsFromFilesOrMemoryGiveTheSamplesExactly) {
  const std::vector<int16_t> samples = {0, 1, -1, 32767, -32768, 12345, -12345, 2, -2};
  for (const auto& [name, format] : {std::pair{"a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
                                     {"a.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
                                     {"a24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24}}) {
    ASSERT_TRUE(test_audio::WriteFile(PathOf(name), 11025, 1, samples, format)) << name;
    Recording recording;
    ASSERT_EQ(ReadRecording(PathOf(name), 0, recording), "") << name;
    EXPECT_EQ(recording.samples, samples) << name;
    EXPECT_EQ(recording.sampleRate, 11025) << name;
    EXPECT_EQ(recording.channels, 1) << name;
  }
  Recording recording;
  ASSERT_EQ(ReadRecording(PathOf("a.wav"), 0, recording), "");
  EXPECT_NE(recording.format.find("16 bit"), std::string::npos) << recording.format;

  std::ifstream in(PathOf("a.flac"), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(ReadRecordingFromMemory(bytes.data(), bytes.size(), 0, recording), "");
  EXPECT_EQ(recording.samples, samples);
  EXPECT_EQ(recording.sampleRate, 11025);
  EXPECT_NE(ReadRecordingFromMemory(bytes.data(), 10, 0, recording), "");
  EXPECT_TRUE(recording.samples.empty());
}

// Every encoding reaches 16 bits by one rule: scaled by 32768, rounded, saturated; NaN is 0.
TEST_F(AudioFileTest, FloatSamplesAreScaledRoundedAndSaturated) {
  std::vector<double> values = {0,       16384, -16384, 32768,  -32768,  49152,
                                -229376, 1000,  1000.4, 1000.6, -1000.6, NAN};
  for (double& value : values) value /= 32768;  // full scale is 1.0 in the file
  const std::vector<int16_t> expected = {0,      16384, -16384, 32767, -32768, 32767,
                                         -32768, 1000,  1000,   1001,  -1001,  0};
  ASSERT_TRUE(
      test_audio::WriteFile(PathOf("f.wav"), 8000, 1, values, SF_FORMAT_WAV | SF_FORMAT_FLOAT));
  Recording recording;
  ASSERT_EQ(ReadRecording(PathOf("f.wav"), 0, recording), "");
  EXPECT_EQ(recording.samples, expected);
}

TEST_F(AudioFileTest, PicksTheRequestedChannel) {
  const std::vector<int16_t> interleaved = {1, 10, 100, 2, 20, 200, 3, 30, 300};
  ASSERT_TRUE(test_audio::WriteFile(PathOf("three.wav"), 8000, 3, interleaved));
  for (int channel = 0; channel < 3; ++channel) {
    Recording recording;
    ASSERT_EQ(ReadRecording(PathOf("three.wav"), channel, recording), "");
    const int16_t scale = int16_t(channel == 0 ? 1 : channel == 1 ? 10 : 100);
    EXPECT_EQ(recording.samples,
              (std::vector<int16_t>{int16_t(scale), int16_t(2 * scale), int16_t(3 * scale)}));
  }
  Recording recording;
  EXPECT_EQ(ReadRecording(PathOf("three.wav"), 3, recording),
            "has 3 channels, channel 3 does not exist (channels count from 0)");
  EXPECT_NE(ReadRecording(PathOf("three.wav"), -1, recording), "");
}

TEST_F(AudioFileTest, ReasonsForUnreadableFiles) {
  Recording recording;
  EXPECT_EQ(ReadRecording(PathOf("missing.wav"), 0, recording), "no such file");
  EXPECT_EQ(ReadRecording(dir_.string(), 0, recording), "is a directory");
  std::ofstream(PathOf("text.wav")) << "this is not audio at all, just some words\n";
  const std::string reason = ReadRecording(PathOf("text.wav"), 0, recording);
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(reason.find('\n'), std::string::npos);
}

namespace {

// What every file gave before 16-bit files were read as they are stored: each frame read as
// normalised doubles and brought to 16 bits by ToSample16.
std::vector<int16_t> ReadThroughDoubles(const std::string& path, int channel) {
  std::vector<int16_t> samples;
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) return samples;
  const size_t channels = size_t(info.channels);
  std::vector<double> block(1000 * channels);
  for (sf_count_t got; (got = sf_readf_double(file, block.data(), 1000)) > 0;) {
    for (size_t i = 0; i < size_t(got); ++i) {
      samples.push_back(ToSample16(block[i * channels + size_t(channel)]));
    }
  }
  sf_close(file);
  return samples;
}

}  // namespace

// 16-bit files take a faster road than the rest; it must give the samples the double road gives,
// in every container, for every channel, on files cut short and on the fuzzer's hostile seeds.
TEST_F(AudioFileTest, SixteenBitFilesGiveWhatReadingThemAsDoublesGives) {
  std::vector<int16_t> interleaved = test_signals::UniformNoise(3 * 70001, 32767, 5, 16);
  interleaved[0] = -32768;
  interleaved[1] = 32767;
  std::vector<std::pair<std::string, int>> files;  // path and channel count
  for (const auto& [name, container] : {std::pair{"wav", SF_FORMAT_WAV},
                                        {"flac", SF_FORMAT_FLAC},
                                        {"aiff", SF_FORMAT_AIFF},
                                        {"caf", SF_FORMAT_CAF},
                                        {"w64", SF_FORMAT_W64},
                                        {"rf64", SF_FORMAT_RF64},
                                        {"au", SF_FORMAT_AU}}) {
    for (int channels : {1, 3}) {
      const std::string path = PathOf(std::to_string(channels) + "." + name);
      ASSERT_TRUE(
          test_audio::WriteFile(path, 16000, channels, interleaved, container | SF_FORMAT_PCM_16))
          << path;
      files.emplace_back(path, channels);
      // Cut short inside a frame, the header still declaring every sample.
      const std::string cut = PathOf("cut" + std::to_string(channels) + "." + name);
      std::filesystem::copy_file(path, cut);
      std::filesystem::resize_file(cut, std::filesystem::file_size(path) * 2 / 3 + 1);
      files.emplace_back(cut, channels);
    }
  }
  for (const auto& seed : std::filesystem::directory_iterator(TESSEL_RECORDING_SEEDS)) {
    files.emplace_back(seed.path().string(), 1);
  }
  int sixteenBit = 0;
  for (const auto& [path, channels] : files) {
    for (int channel = 0; channel < channels; ++channel) {
      Recording recording;
      if (!ReadRecording(path, channel, recording).empty()) continue;
      sixteenBit += recording.format.find("16 bit") != std::string::npos;
      EXPECT_EQ(recording.samples, ReadThroughDoubles(path, channel)) << path << " " << channel;
    }
  }
  EXPECT_GE(sixteenBit, 40);
}
