#include "audio_file.h"

#include <sndfile.h>

#include <cctype>
#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

namespace {

std::string FormatName(int format) {
  std::string name;
  SF_FORMAT_INFO info{};
  info.format = format & SF_FORMAT_TYPEMASK;
  if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name) {
    name = info.name;
  }
  SF_FORMAT_INFO sub{};
  sub.format = format & SF_FORMAT_SUBMASK;
  if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &sub, sizeof sub) == 0 && sub.name) {
    name += name.empty() ? sub.name : std::string(", ") + sub.name;
  }
  return name;
}

// libsndfile's own texts end with a full stop and sometimes carry a prefix meant for
// developers; a one-line error reads better without either.
std::string Tidy(std::string reason) {
  const std::string systemPrefix = "System error : ";
  if (reason.rfind(systemPrefix, 0) == 0) reason.erase(0, systemPrefix.size());
  while (!reason.empty() && (reason.back() == '.' || reason.back() == '\n' || reason.back() == ' ')) {
    reason.pop_back();
  }
  if (!reason.empty()) reason[0] = char(std::tolower(static_cast<unsigned char>(reason[0])));
  return reason.empty() ? "unreadable" : reason;
}

}  // namespace

int16_t ToSample16(double normalised) {
  if (std::isnan(normalised)) return 0;
  const double scaled = std::nearbyint(normalised * 32768.0);
  if (scaled >= 32767.0) return 32767;
  if (scaled <= -32768.0) return -32768;
  return int16_t(scaled);
}

std::string ReadRecording(const std::string& path, int channel, Recording& recording) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (!std::filesystem::exists(status)) return "no such file";
  if (std::filesystem::is_directory(status)) return "is a directory";

  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return Tidy(sf_strerror(nullptr));

  std::string error;
  if (info.channels < 1) {
    error = "no audio channels";
  } else if (channel < 0 || channel >= info.channels) {
    error = "has " + std::to_string(info.channels) +
            (info.channels == 1 ? " channel" : " channels") + ", channel " +
            std::to_string(channel) + " does not exist (channels count from 0)";
  } else if (info.frames > std::numeric_limits<int32_t>::max()) {
    error = "too long: " + std::to_string(info.frames) + " samples, the library takes at most " +
            std::to_string(std::numeric_limits<int32_t>::max());
  } else if (info.samplerate <= 0) {
    error = "invalid sample rate " + std::to_string(info.samplerate);
  }
  if (!error.empty()) {
    sf_close(file);
    return error;
  }

  recording.sampleRate = info.samplerate;
  recording.channels = info.channels;
  recording.format = FormatName(info.format);
  recording.samples.clear();
  recording.samples.reserve(size_t(info.frames));

  // Read as normalised doubles so that every encoding (8 to 32-bit PCM, float, compressed)
  // reaches 16 bits by one rule, with rounding instead of truncation.
  constexpr sf_count_t blockFrames = 4096;
  std::vector<double> block(size_t(blockFrames) * size_t(info.channels));
  for (;;) {
    const sf_count_t got = sf_readf_double(file, block.data(), blockFrames);
    if (got <= 0) break;
    for (sf_count_t i = 0; i < got; ++i) {
      recording.samples.push_back(ToSample16(block[size_t(i) * size_t(info.channels) + size_t(channel)]));
    }
    if (recording.samples.size() > size_t(std::numeric_limits<int32_t>::max())) {
      error = "too long: more than " + std::to_string(std::numeric_limits<int32_t>::max()) +
              " samples";
      break;
    }
  }
  if (error.empty() && sf_error(file) != SF_ERR_NO_ERROR) error = Tidy(sf_strerror(file));
  sf_close(file);
  if (!error.empty()) recording.samples.clear();
  return error;
}
