#include "snr_recordings.h"

#include "golden_file.h"
#include "support/test_signals.h"

using test_signals::AddVoicedBurst;

std::vector<TestRecording> SnrTestRecordings() {
  std::vector<TestRecording> recordings;

  recordings.push_back({"burst_8000", test_signals::SquareBurst(8000, 2000, 6000, 1, 1000, -1000)});

  for (size_t count : {0u, 256u, 257u, 384u, 385u, 4000u}) {
    recordings.push_back({"silence_" + std::to_string(count), std::vector<int16_t>(count, 0)});
  }
  recordings.push_back({"constant_11", std::vector<int16_t>(3000, 11)});

  const int32_t noiseLevels[] = {3, 40, 300, 2500};
  const int32_t speechLevels[] = {200, 2000, 12000, 40000};
  uint32_t seed = 1;
  for (int32_t noiseLevel : noiseLevels) {
    for (int32_t speechLevel : speechLevels) {
      std::vector<int16_t> samples = test_signals::BellNoise(24000 + 997 * seed, noiseLevel, seed);
      const int32_t period = 40 + static_cast<int32_t>(seed * 7 % 60);
      AddVoicedBurst(samples, 6000 + 131 * seed, 15000, period, speechLevel);
      AddVoicedBurst(samples, 17000, 21000 - 50 * seed, period + 9, speechLevel / 2);
      recordings.push_back(
          {"voiced_n" + std::to_string(noiseLevel) + "_s" + std::to_string(speechLevel),
           std::move(samples)});
      ++seed;
    }
  }

  recordings.push_back({"noise_only", test_signals::BellNoise(20000, 800, 99)});

  recordings.push_back(
      {"full_scale_square", test_signals::SquareBurst(20000, 5000, 15000, 40, 32767, -32768)});

  return recordings;
}

std::vector<std::string> MeasureSnr(decltype(&Tessel_GetSNR) getSnr,
                                    const std::vector<int16_t>& samples) {
  int handle;
  int32_t begin = -1, end = -1;
  float snr = -1.0f;
  const int32_t result =
      getSnr(&handle, samples.data(), static_cast<int32_t>(samples.size()), &begin, &end, &snr);
  return {std::to_string(result), std::to_string(begin), std::to_string(end), FloatBits(snr)};
}
