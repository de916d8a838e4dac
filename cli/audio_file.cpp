#include "audio_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <limits>
#include <mutex>
#include <sstream>
#include <system_error>
#include <vector>

namespace {

constexpr size_t kMaxSamples = size_t(std::numeric_limits<int32_t>::max());

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
  while (!reason.empty() &&
         (reason.back() == '.' || reason.back() == '\n' || reason.back() == ' ')) {
    reason.pop_back();
  }
  if (!reason.empty()) reason[0] = char(std::tolower(static_cast<unsigned char>(reason[0])));
  return reason.empty() ? "unreadable" : reason;
}

// The number after `key` on the log line that starts with it, e.g. " Sample rate :   0".
bool LogValue(const std::string& log, const std::string& key, long long& value) {
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(key, 0) == 0) {
      char* end = nullptr;
      value = std::strtoll(line.c_str() + key.size(), &end, 10);
      return end != line.c_str() + key.size();
    }
  }
  return false;
}

// Why an open failed. libsndfile refuses a header without a usable rate or channel count as
// "SF_INFO struct incomplete", a text for its developers; its log shows which field it was.
std::string OpenFailure() {
  const std::string reason = sf_strerror(nullptr);
  if (reason.find("SF_INFO") != std::string::npos) {
    char log[4096] = "";
    sf_command(nullptr, SFC_GET_LOG_INFO, log, sizeof log);
    long long value = 0;
    if (LogValue(log, " Sample rate :", value) && value <= 0) {
      // Headers hold the rate as an unsigned 32-bit field; the log shows it as a signed one.
      if (value < 0) value += 1LL << 32;
      return "the header gives a sample rate of " + std::to_string(value) + " Hz; " +
             (value == 0 ? "a recording needs a rate above 0"
                         : "a recording needs a rate below 2147483648 Hz");
    }
    if (LogValue(log, " Channels    :", value) && value <= 0) {
      return "the header gives " + std::to_string(value) + " channels";
    }
  }
  return Tidy(reason);
}

// libsndfile keeps the reason for a failed open, and the log behind it, in process-wide state:
// files opened on other threads must not overwrite them before they are read.
std::mutex openMutex;

// Opens the file anew on every call, each handle reading on its own.
using OpenFunction = std::function<SNDFILE*(SF_INFO&)>;

SNDFILE* Open(const OpenFunction& open, SF_INFO& info, std::string& reason) {
  std::lock_guard lock(openMutex);
  SNDFILE* file = open(info);
  if (file == nullptr) reason = OpenFailure();
  return file;
}

// A header that declares more than the file holds is trimmed to the file by libsndfile for
// chunked formats, leaving only a line in its log ("data : 6000 (should be 4000)"); other
// formats report the declared length and simply end early.
std::string ShortfallWarning(SNDFILE* file, const SF_INFO& info, size_t samplesRead) {
  const std::string read = std::to_string(samplesRead);
  if (info.frames != SF_COUNT_MAX && info.frames > sf_count_t(samplesRead)) {
    return "the header declares " + std::to_string(info.frames) + " samples but the file holds " +
           read + "; those " + read + " were read";
  }
  char log[4096] = "";
  sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
  // The container's size comes first, the data chunk's last: the last shortfall names the data.
  std::string shortfall;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    const size_t colon = line.find(':');
    const size_t should = line.find("(should be ");
    if (colon == std::string::npos || should == std::string::npos || should < colon) continue;
    const long long declared = std::strtoll(line.c_str() + colon + 1, nullptr, 10);
    const long long present = std::strtoll(line.c_str() + should + 11, nullptr, 10);
    if (present >= declared) continue;
    std::string chunk = line.substr(0, colon);
    chunk.erase(0, chunk.find_first_not_of(' '));
    chunk.erase(chunk.find_last_not_of(' ') + 1);
    shortfall = "the header declares more data than the file holds (" + chunk + " " +
                std::to_string(declared) + " bytes, " + std::to_string(present) +
                " present); the " + read + " samples present were read";
  }
  return shortfall;
}

const std::string& TooLong() {
  static const std::string reason =
      "too long: more than " + std::to_string(kMaxSamples) + " samples";
  return reason;
}

// A header that declares more samples than the library takes is tried at the first sample past
// the limit: when that sample is there the file is refused without reading the rest, however long
// it is. The try runs on a second handle, since a failed seek can leave a handle unable to go back.
bool HoldsMoreThanTheLimit(const OpenFunction& open, const SF_INFO& info) {
  const sf_count_t limit = sf_count_t(kMaxSamples);
  if (info.frames == SF_COUNT_MAX || info.frames <= limit || !info.seekable) return false;
  SF_INFO probeInfo{};
  std::string reason;
  SNDFILE* probe = Open(open, probeInfo, reason);
  if (probe == nullptr) return false;
  std::vector<double> frame(size_t(std::max(1, probeInfo.channels)));
  const bool beyond =
      sf_seek(probe, limit, SEEK_SET) == limit && sf_readf_double(probe, frame.data(), 1) == 1;
  sf_close(probe);
  return beyond;
}

constexpr size_t kBlockSamples = size_t(1) << 16;

// How many frames to ask for next when `held` samples are read: one past the limit at most, so
// that a file holding more is refused before memory grows beyond it.
size_t FramesWanted(size_t blockFrames, size_t held) {
  return std::min(blockFrames, kMaxSamples + 1 - held);
}

// Appends channel `channel` of every frame the file still holds to `samples`, reading `Sample`s
// in large blocks. Returns an empty string, or why the file cannot be taken.
template <typename Sample, typename ToSample>
std::string ReadChannel(SNDFILE* file, sf_count_t (*readFrames)(SNDFILE*, Sample*, sf_count_t),
                        size_t channels, size_t channel, ToSample toSample,
                        std::vector<int16_t>& samples) {
  const size_t blockFrames = std::max<size_t>(1, kBlockSamples / channels);
  std::vector<Sample> block(blockFrames * channels);
  for (;;) {
    const size_t held = samples.size();
    const sf_count_t got =
        readFrames(file, block.data(), sf_count_t(FramesWanted(blockFrames, held)));
    if (got <= 0) return {};
    if (size_t(got) > kMaxSamples - held) return TooLong();
    samples.resize(held + size_t(got));
    int16_t* out = samples.data() + held;
    for (size_t i = 0; i < size_t(got); ++i) out[i] = toSample(block[i * channels + channel]);
  }
}

// The same for a one-channel 16-bit file, read straight into the samples.
std::string ReadMono16(SNDFILE* file, std::vector<int16_t>& samples) {
  for (;;) {
    const size_t held = samples.size();
    const size_t wanted = FramesWanted(kBlockSamples, held);
    samples.resize(held + wanted);
    const sf_count_t got = sf_readf_short(file, samples.data() + held, sf_count_t(wanted));
    samples.resize(held + size_t(std::max<sf_count_t>(got, 0)));
    if (got <= 0) return {};
    if (size_t(got) > kMaxSamples - held) return TooLong();
  }
}

int16_t Unchanged(int16_t sample) { return sample; }

// 16-bit files are read as they are stored; every other encoding as normalised doubles, so that
// it reaches 16 bits by one rule, with rounding instead of truncation. Read as doubles, 16-bit
// values come back the same, only slower.
std::string ReadSamples(SNDFILE* file, const SF_INFO& info, int channel,
                        std::vector<int16_t>& samples) {
  const size_t channels = size_t(info.channels);
  if ((info.format & SF_FORMAT_SUBMASK) != SF_FORMAT_PCM_16) {
    return ReadChannel(file, sf_readf_double, channels, size_t(channel), ToSample16, samples);
  }
  if (channels == 1) return ReadMono16(file, samples);
  return ReadChannel(file, sf_readf_short, channels, size_t(channel), Unchanged, samples);
}

std::string ReadOpened(SNDFILE* file, const SF_INFO& info, const OpenFunction& open, int channel,
                       Recording& recording) {
  if (info.channels < 1) return "no audio channels";
  if (channel < 0 || channel >= info.channels) {
    return "has " + std::to_string(info.channels) +
           (info.channels == 1 ? " channel" : " channels") + ", channel " +
           std::to_string(channel) + " does not exist (channels count from 0)";
  }
  if (info.samplerate <= 0) return "invalid sample rate " + std::to_string(info.samplerate);

  recording.sampleRate = info.samplerate;
  recording.channels = info.channels;
  recording.format = FormatName(info.format);
  recording.samples.clear();

  // The length a header declares is not trusted for memory: the samples grow as they are read.
  if (HoldsMoreThanTheLimit(open, info)) return TooLong();
  const std::string error = ReadSamples(file, info, channel, recording.samples);
  if (!error.empty()) return error;
  if (sf_error(file) != SF_ERR_NO_ERROR) return Tidy(sf_strerror(file));
  recording.warning = ShortfallWarning(file, info, recording.samples.size());
  return {};
}

std::string Read(const OpenFunction& open, int channel, Recording& recording) {
  recording = Recording{};
  SF_INFO info{};
  std::string error;
  SNDFILE* file = Open(open, info, error);
  if (file == nullptr) return error;
  try {
    error = ReadOpened(file, info, open, channel, recording);
  } catch (...) {
    sf_close(file);
    recording.samples = {};
    throw;
  }
  sf_close(file);
  if (!error.empty()) recording.samples = {};
  return error;
}

// A file in memory, for libsndfile's virtual I/O.
struct MemoryFile {
  const unsigned char* bytes;
  sf_count_t size;
  sf_count_t position;
};

MemoryFile& Memory(void* data) { return *static_cast<MemoryFile*>(data); }

SF_VIRTUAL_IO MemoryIo() {
  SF_VIRTUAL_IO io{};
  io.get_filelen = [](void* data) { return Memory(data).size; };
  io.seek = [](sf_count_t offset, int whence, void* data) {
    MemoryFile& m = Memory(data);
    const sf_count_t base = whence == SEEK_CUR ? m.position : whence == SEEK_END ? m.size : 0;
    // Offsets come from the file's own header fields and may be anything.
    if ((offset > 0 && base > m.size - offset) || base + offset < 0) return sf_count_t(-1);
    m.position = base + offset;
    return m.position;
  };
  io.read = [](void* ptr, sf_count_t count, void* data) {
    MemoryFile& m = Memory(data);
    const sf_count_t n =
        std::clamp<sf_count_t>(m.size - m.position, 0, std::max<sf_count_t>(count, 0));
    if (n > 0) std::memcpy(ptr, m.bytes + m.position, size_t(n));
    m.position += n;
    return n;
  };
  io.write = [](const void*, sf_count_t, void*) { return sf_count_t(0); };
  io.tell = [](void* data) { return Memory(data).position; };
  return io;
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
  // A name the system refuses (too long, in a folder that cannot be searched) keeps its reason.
  if (ec && status.type() != std::filesystem::file_type::not_found) return Tidy(ec.message());
  if (!std::filesystem::exists(status)) return "no such file";
  if (std::filesystem::is_directory(status)) return "is a directory";
  return Read([&](SF_INFO& info) { return sf_open(path.c_str(), SFM_READ, &info); }, channel,
              recording);
}

std::string ReadRecordingFromMemory(const void* bytes, size_t size, int channel,
                                    Recording& recording) {
  // Every handle reads at its own position; the deque keeps each record in place while it is used.
  std::deque<MemoryFile> files;
  SF_VIRTUAL_IO io = MemoryIo();
  return Read(
      [&](SF_INFO& info) {
        MemoryFile& file = files.emplace_back(
            MemoryFile{static_cast<const unsigned char*>(bytes), sf_count_t(size), 0});
        return sf_open_virtual(&io, SFM_READ, &info, &file);
      },
      channel, recording);
}
