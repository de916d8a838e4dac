#include "snr/kmeans_vq.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr int32_t kCodebookSize = 2;
constexpr int32_t kMaxPasses = 10;
}  // namespace

// Refines a codebook of codewordCount entries by nearest-codeword assignment and
// re-averaging, at most ten passes. Writes the last pass's distortion (measured before
// its re-averaging) and per-codeword counts. Returns codewordCount, or -1 when its scratch
// sums cannot be obtained (codebook unchanged).
static int32_t KMeanIteration(float* codebook, int32_t codewordCount, const float* values,
                              int32_t count, double* distortion, int32_t* counts) {
  double* sums = static_cast<double*>(std::malloc(sizeof(double) * codewordCount));
  if (sums == nullptr) return -1;

  double previous = 1e30;
  double current = 0.0;
  for (int32_t pass = 0;;) {
    for (int32_t k = 0; k < codewordCount; ++k) {
      sums[k] = 0.0;
      counts[k] = 0;
    }
    current = 0.0;
    for (int32_t i = 0; i < count; ++i) {
      const double v = values[i];
      int32_t nearest = 0;
      double nearestDistance = (v - codebook[0]) * (v - codebook[0]);
      for (int32_t k = 1; k < codewordCount; ++k) {
        const double d = (v - codebook[k]) * (v - codebook[k]);
        if (d < nearestDistance) {
          nearest = k;
          nearestDistance = d;
        }
      }
      sums[nearest] += v;
      counts[nearest] += 1;
      current += nearestDistance;
    }
    for (int32_t k = 0; k < codewordCount; ++k) {
      if (counts[k] > 0) {
        codebook[k] = static_cast<float>(sums[k] / counts[k]);
      } else {
        std::fprintf(stderr, "[KMeanIteration] Warning: mean[%d] has no training data.\n",
                     static_cast<int>(k));
        std::fflush(stderr);
      }
    }
    if (current / 1000.0 >= std::fabs(previous - current)) break;
    if (++pass == kMaxPasses) break;
    previous = current;
  }

  std::free(sums);
  *distortion = current;
  return codewordCount;
}

int32_t ModifiedKMeanVQ(const float* values, int32_t count, float* codebook, int32_t* counts) {
  if (count <= 0) return -1;

  double sum = 0.0;
  for (int32_t i = 0; i < count; ++i) sum += values[i];
  codebook[0] = static_cast<float>(sum / count);
  counts[0] = count;

  for (int32_t size = 1; size < kCodebookSize; ++size) {
    int32_t chosen = -1;
    int32_t bestCount = 0;
    for (int32_t k = 0; k < size; ++k) {
      if (counts[k] > bestCount) {
        chosen = k;
        bestCount = counts[k];
      }
    }
    if (chosen < 0) {
      std::printf("ERROR [ModifiedKMeanVQ]: fail to find the farest one from [%d] vectors.\n",
                  static_cast<int>(count));
      std::exit(-1);
    }
    // The split factors are the float values of 0.8 and 1.2; the products are rounded once.
    codebook[size] =
        static_cast<float>(static_cast<double>(codebook[chosen]) * static_cast<double>(0.8f));
    codebook[chosen] =
        static_cast<float>(static_cast<double>(codebook[chosen]) * static_cast<double>(1.2f));
    double distortion = 0.0;
    if (KMeanIteration(codebook, size + 1, values, count, &distortion, counts) < 0) return -1;
  }
  return kCodebookSize;
}
