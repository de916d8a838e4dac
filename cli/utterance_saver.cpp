#include "utterance_saver.h"

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

#include "replace_file.h"

namespace {

constexpr size_t kWavHeaderBytes = 44;

void PutLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(char((value >> (8 * i)) & 0xff));
}

void WriteWavHeader(std::string& out, int32_t sampleRate, uint32_t dataBytes) {
  out += "RIFF";
  PutLittleEndian(out, 36 + dataBytes, 4);
  out += "WAVEfmt ";
  PutLittleEndian(out, 16, 4);  // the format chunk's size
  PutLittleEndian(out, 1, 2);   // PCM
  PutLittleEndian(out, 1, 2);   // mono
  PutLittleEndian(out, uint32_t(sampleRate), 4);
  PutLittleEndian(out, uint32_t(sampleRate) * 2, 4);  // bytes per second
  PutLittleEndian(out, 2, 2);                         // bytes per sample frame
  PutLittleEndian(out, 16, 2);                        // bits per sample
  out += "data";
  PutLittleEndian(out, dataBytes, 4);
}

// Copies `count` samples from the ring, starting at stream sample `first`, to `out` as 16-bit
// little-endian: at most two runs, as the ring wraps at most once.
void CopyRingLittleEndian(const std::vector<int16_t>& ring, int64_t first, size_t count,
                          char* out) {
  const size_t at = size_t(first % int64_t(ring.size()));
  const size_t firstRun = std::min(count, ring.size() - at);
  std::memcpy(out, ring.data() + at, firstRun * sizeof(int16_t));
  std::memcpy(out + firstRun * sizeof(int16_t), ring.data(), (count - firstRun) * sizeof(int16_t));
  if constexpr (std::endian::native == std::endian::big) {
    for (size_t i = 0; i < count * sizeof(int16_t); i += 2) std::swap(out[i], out[i + 1]);
  }
}

std::string FileName(int number, std::time_t beginTime) {
  std::tm local{};
  localtime_r(&beginTime, &local);
  char name[64];
  const size_t stamp = std::strftime(name, sizeof name, "%Y%m%d-%H%M%S", &local);
  std::snprintf(name + stamp, sizeof name - stamp, "-%04d.wav", number);
  return name;
}

}  // namespace

std::string UtteranceSaver_Init(UtteranceSaver& saver, const std::string& folder,
                                int32_t sampleRate) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    return "the --save folder \"" + folder + "\" is not an existing directory";
  }
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    return "the --save folder \"" + folder + "\" is not writable";
  }
  saver.folder = folder;
  saver.sampleRate = sampleRate;
  saver.ring.assign(size_t(sampleRate) * (kSaveLimitSeconds + kRingSlackSeconds), 0);
  saver.samplesPushed = 0;
  saver.wav.reserve(kWavHeaderBytes + size_t(sampleRate) * kSaveLimitSeconds * 2);
  return {};
}

void UtteranceSaver_Push(UtteranceSaver& saver, const int16_t* samples, int32_t count) {
  const size_t size = saver.ring.size();
  size_t at = size_t(saver.samplesPushed % int64_t(size));
  for (int32_t left = count; left > 0;) {
    const size_t run = std::min(size - at, size_t(left));
    std::copy(samples, samples + run, saver.ring.begin() + ptrdiff_t(at));
    samples += run;
    left -= int32_t(run);
    at = (at + run) % size;
  }
  saver.samplesPushed += count;
}

SavedUtterance UtteranceSaver_Save(UtteranceSaver& saver, int64_t begin, int64_t end, int number,
                                   std::time_t beginTime) {
  SavedUtterance saved;
  const int64_t oldestKept = std::max<int64_t>(0, saver.samplesPushed - int64_t(saver.ring.size()));
  const int64_t limitStart = end - int64_t(saver.sampleRate) * kSaveLimitSeconds;
  saved.savedFrom = std::max({begin, oldestKept, limitStart});
  if (end > saver.samplesPushed || saved.savedFrom >= end) {
    saved.error = "its audio is no longer held";
    return saved;
  }
  const uint32_t dataBytes = uint32_t(end - saved.savedFrom) * 2;
  saver.wav.clear();
  WriteWavHeader(saver.wav, saver.sampleRate, dataBytes);
  // Within the capacity taken up front: no more than kSaveLimitSeconds of samples are written.
  saver.wav.resize(kWavHeaderBytes + dataBytes);
  CopyRingLittleEndian(saver.ring, saved.savedFrom, size_t(end - saved.savedFrom),
                       saver.wav.data() + kWavHeaderBytes);
  const std::string path =
      (std::filesystem::path(saver.folder) / FileName(number, beginTime)).string();
  saved.error = ReplaceFileContents(path, saver.wav);
  if (saved.error.empty()) saved.path = path;
  return saved;
}
