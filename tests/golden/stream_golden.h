#pragma once

// The recordings and the measurement behind stream.golden: the native build writes the file
// once, and every build, native or a Windows host loading Tessel.dll, must reproduce it bit
// for bit. Only integer arithmetic and IEEE basic operations make the recordings, so all
// builds push the same samples (their checksum is part of every line).

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/stream_runner.h"
#include "support/voiced_signal.h"

namespace stream_golden {

struct Recording {
  std::string name;
  int32_t rate, frameSize, threshold;
  std::vector<int16_t> samples;
};

// The samples of a 16-bit mono PCM WAV file; empty when the file is missing or of another kind.
inline std::vector<int16_t> ReadWav16(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
  auto u32 = [&](size_t at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
  };
  std::vector<int16_t> samples;
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0) return samples;
  for (size_t at = 12; at + 8 <= bytes.size();) {
    const size_t size = u32(at + 4);
    if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
      for (size_t i = at + 8; i + 1 < bytes.size() && i + 1 < at + 8 + size; i += 2) {
        samples.push_back(int16_t(uint16_t(bytes[i] | bytes[i + 1] << 8)));
      }
      break;
    }
    at += 8 + size + (size & 1);
  }
  return samples;
}

// Linear interpolation from 16000 Hz to rate in integers: a recording at another rate that
// still carries real speech.
inline std::vector<int16_t> From16k(const std::vector<int16_t>& input, int32_t rate) {
  std::vector<int16_t> output;
  for (int64_t n = 0;; ++n) {
    const int64_t position = n * 16000;
    const int64_t i = position / rate;
    const int64_t fraction = position % rate;
    if (i + 1 >= int64_t(input.size())) break;
    output.push_back(
        int16_t((input[size_t(i)] * (rate - fraction) + input[size_t(i + 1)] * fraction) / rate));
  }
  return output;
}

inline std::vector<Recording> Recordings(const std::string& speechWav16k) {
  struct Rate {
    int32_t rate, frameSizes[3];
  };
  constexpr Rate rates[] = {{8000, {80, 120, 160}},   {11025, {110, 164, 220}},
                            {16000, {160, 240, 320}}, {22050, {220, 322, 440}},
                            {44100, {442, 642, 882}}, {48000, {480, 720, 960}}};
  const std::vector<int16_t> speech16k = ReadWav16(speechWav16k);
  std::vector<Recording> recordings;
  for (const Rate& r : rates) {
    const std::vector<int16_t> speech = r.rate == 16000 ? speech16k : From16k(speech16k, r.rate);
    voiced_signal::Options quiet, noisy;
    quiet.rate = noisy.rate = r.rate;
    quiet.seed = uint32_t(r.rate);
    quiet.noiseAmplitude = 100;
    quiet.utteranceCount = 3;
    noisy.seed = uint32_t(r.rate) + 1;
    noisy.noiseAmplitude = 1500;
    noisy.utteranceCount = 3;
    const std::vector<int16_t> voicedQuiet = voiced_signal::Make(quiet).samples;
    const std::vector<int16_t> voicedNoisy = voiced_signal::Make(noisy).samples;
    for (int32_t frameSize : r.frameSizes) {
      auto name = [&](std::string kind) {
        return kind.append("_")
            .append(std::to_string(r.rate))
            .append("_")
            .append(std::to_string(frameSize));
      };
      recordings.push_back({name("speech"), r.rate, frameSize, 156, speech});
      recordings.push_back({name("voiced"), r.rate, frameSize, 156, voicedQuiet});
      recordings.push_back({name("noisy_t400"), r.rate, frameSize, 400, voicedNoisy});
    }
  }
  return recordings;
}

inline uint64_t Fnv1a(uint64_t hash, int32_t value) {
  const uint32_t bits = uint32_t(value);
  for (int shift = 0; shift < 32; shift += 8)
    hash = (hash ^ ((bits >> shift) & 0xffu)) * 0x100000001b3ull;
  return hash;
}

inline std::string Hex(uint64_t value) {
  char text[20];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

// Fields of one golden line: the recording's checksum and length, the number of calls, a
// checksum over everything the host saw after every call, and each utterance as begin:end.
inline std::vector<std::string> Measure(const stream_runner::Exports& api,
                                        const Recording& recording) {
  uint64_t input = 0xcbf29ce484222325ull;
  for (int16_t s : recording.samples) input = Fnv1a(input, s);
  const stream_runner::Trace trace = stream_runner::Run(api, recording.rate, recording.frameSize,
                                                        recording.samples, recording.threshold);
  uint64_t seen = 0xcbf29ce484222325ull;
  for (size_t i = 0; i < trace.results.size(); ++i) {
    seen = Fnv1a(Fnv1a(Fnv1a(seen, trace.results[i]), trace.begins[i]), trace.ends[i]);
  }
  std::vector<std::string> fields = {
      Hex(input), std::to_string(recording.samples.size()),
      trace.created ? std::to_string(trace.results.size()) : "refused", Hex(seen)};
  for (const stream_runner::Detected& u : stream_runner::Utterances(trace)) {
    fields.push_back(std::to_string(u.begin) + ":" + std::to_string(u.end));
  }
  return fields;
}

}  // namespace stream_golden
