#include "snr/snr_estimator.h"

#include <cmath>
#include <cstdlib>

#include "snr/kmeans_vq.h"

namespace {

constexpr float kMinLevel = 10.0f;
constexpr float kMaxLevel = 32000.0f;

// Squares of 16-bit samples are exact integers below 2^30, so a sum over a few hundred of
// them is exact in 64 bits and in double alike: any grouping gives the same value.
int64_t SumOfSquares(const int16_t* samples, int32_t n) {
  int64_t sum = 0;
  for (int32_t i = 0; i < n; ++i) sum += static_cast<int32_t>(samples[i]) * samples[i];
  return sum;
}

double LevelDb(float meanLevel) {
  return meanLevel > 1.0f ? 20.0 * std::log10(static_cast<double>(meanLevel)) - FullScaleDb()
                          : -FullScaleDb();
}

// Running sums are kept in float, rounded after every addition.
float AddRounded(float sum, float level) {
  return static_cast<float>(static_cast<double>(sum) + level);
}

// Compared as stored, after the clamp: everything quieter than a level of 10 is one level.
bool AllOneLevel(const float* levels, int32_t frames) {
  for (int32_t i = 1; i < frames; ++i) {
    if (levels[i] != levels[0]) return false;
  }
  return true;
}

SnrEstimate SpeechLevelOnly() {
  SnrEstimate estimate{};
  estimate.hasSpan = false;
  estimate.speechLevelDb = -FullScaleDb();
  return estimate;
}

}  // namespace

double FullScaleDb() {
  static const double fullScaleDb = 20.0 * std::log10(32768.0);
  return fullScaleDb;
}

int32_t SnrFrameCount(int32_t count) {
  return count <= kSnrFrameLength ? 0 : (count - kSnrFrameLength - 1) / kSnrFrameHop + 1;
}

double FrameLevelFromSumOfSquares(int64_t sumOfSquares) {
  return std::sqrt(static_cast<double>(sumOfSquares) * 0.00390625);
}

double FrameLevel(const int16_t* frame) {
  double sum = 0.0;
  for (int32_t i = 0; i < kSnrFrameLength; ++i)
    sum += static_cast<double>(static_cast<int32_t>(frame[i]) * frame[i]);
  return std::sqrt(sum * 0.00390625);
}

void ComputeFrameLevels(const int16_t* samples, int32_t frames, float* levels) {
  // Each frame is two adjacent half frames; each half is summed once and used twice.
  int64_t firstHalf = SumOfSquares(samples, kSnrFrameHop);
  for (int32_t i = 0; i < frames; ++i) {
    const int64_t secondHalf =
        SumOfSquares(samples + static_cast<size_t>(kSnrFrameHop) * (i + 1), kSnrFrameHop);
    float level = static_cast<float>(FrameLevelFromSumOfSquares(firstHalf + secondHalf));
    if (level < kMinLevel) level = kMinLevel;
    if (level > kMaxLevel) level = kMaxLevel;
    levels[i] = level;
    firstHalf = secondHalf;
  }
}

SnrEstimate EstimateSnrFromLevels(const float* levels, int32_t frames) {
  // Frames of one level (silence, a constant, a steady square wave) hold no speech to tell from
  // noise; left to the split, rounding alone would decide between a whole-file span and none.
  if (AllOneLevel(levels, frames)) return SpeechLevelOnly();
  float codebook[2];
  int32_t counts[2];
  if (ModifiedKMeanVQ(levels, frames, codebook, counts) < 0) return SpeechLevelOnly();
  const float low = codebook[0] < codebook[1] ? codebook[0] : codebook[1];
  const float high = codebook[0] < codebook[1] ? codebook[1] : codebook[0];
  const float threshold = static_cast<float>((static_cast<double>(low) * 7 + high) * 0.125);

  int32_t begin = 0;
  while (begin < frames && levels[begin] < threshold) ++begin;
  // Only a speech class that attracted no level can leave every frame below the threshold. Such
  // a recording holds no speech to measure; a span from the scan would begin after its end.
  if (begin == frames) return SpeechLevelOnly();
  int32_t end = frames - 1;
  while (end > begin && levels[end] < threshold) --end;
  // An empty span holds no speech frame: its SNR would set the noise against no speech at all.
  if (end == begin) return SpeechLevelOnly();

  // Frame `end` counts as noise.
  float noiseSum = 0.0f;
  for (int32_t i = 0; i < begin; ++i) noiseSum = AddRounded(noiseSum, levels[i]);
  for (int32_t i = end; i < frames; ++i) noiseSum = AddRounded(noiseSum, levels[i]);
  const float noiseMean =
      static_cast<float>(static_cast<double>(noiseSum) / (begin + (frames - end)));

  // The speech mean takes the levels at or above the low codeword, not the threshold.
  float speechSum = 0.0f;
  int32_t speechFrames = 0;
  for (int32_t i = begin; i < end; ++i) {
    if (levels[i] >= low) {
      speechSum = AddRounded(speechSum, levels[i]);
      ++speechFrames;
    }
  }
  const float speechMean =
      speechFrames > 0 ? static_cast<float>(static_cast<double>(speechSum) / speechFrames) : 0.0f;

  SnrEstimate estimate{};
  estimate.hasSpan = true;
  estimate.spanBegin = kSnrFrameHop * begin;
  estimate.spanEnd = kSnrFrameHop * end;
  estimate.noiseLevelDb = LevelDb(noiseMean);
  estimate.speechLevelDb = LevelDb(speechMean);
  return estimate;
}

SnrEstimate EstimateSnr(const int16_t* samples, int32_t count) {
  FullScaleDb();
  const int32_t frames = SnrFrameCount(count);
  if (frames == 0) return SpeechLevelOnly();

  float* levels = static_cast<float*>(std::malloc(sizeof(float) * frames));
  if (levels == nullptr) return SpeechLevelOnly();
  ComputeFrameLevels(samples, frames, levels);
  const SnrEstimate estimate = EstimateSnrFromLevels(levels, frames);
  std::free(levels);
  return estimate;
}
