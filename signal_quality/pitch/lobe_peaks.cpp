#include "pitch/periodicity_internal.h"
#include "simd_choice.h"

#if TESSEL_SSE2
#include <emmintrin.h>
#endif

namespace {

constexpr int32_t kLags = kPeriodicityWindowLength;
constexpr int32_t kLastLag = kLags - 1;

// A set of the 128 lags, one bit each, in 32-bit words (which every target scans natively).
struct LagSet {
  uint32_t words[4] = {0, 0, 0, 0};
};

// Whether the set holds a lag after from, up to and including to (from < to < 128).
bool AnyBetween(const LagSet& set, int32_t from, int32_t to) {
  const int32_t low = from + 1;
  const int32_t lowWord = low >> 5;
  const int32_t highWord = to >> 5;
  const uint32_t fromLow = ~uint32_t(0) << (low & 31);
  const uint32_t toHigh = ~uint32_t(0) >> (31 - (to & 31));
  if (lowWord == highWord) return (set.words[lowWord] & fromLow & toHigh) != 0;
  if ((set.words[lowWord] & fromLow) != 0 || (set.words[highWord] & toHigh) != 0) return true;
  for (int32_t word = lowWord + 1; word < highWord; ++word) {
    if (set.words[word] != 0) return true;
  }
  return false;
}

// Where a value is not above 0 (a lobe ends there), and the local maxima, strictly higher than
// the left neighbour and at least as high as the right one (never lag 0 or 127, which lack a
// neighbour). Every comparison is the walk's own, made for all lags at once.
struct LagSets {
  LagSet notPositive;
  LagSet localMaxima;
};

#if TESSEL_SSE2

LagSets ClassifyLags(const float* values) {
  LagSets sets;
  // rises at i: values[i - 1] < values[i]; holds at i: values[i] <= values[i - 1]. A local
  // maximum at i rises into i and holds at i + 1.
  const __m128 zero = _mm_setzero_ps();
  uint32_t holds[5] = {0, 0, 0, 0, 0};
  uint32_t rises[4];
  for (int32_t word = 0; word < 4; ++word) {
    uint32_t notPositive = 0;
    uint32_t rise = 0;
    uint32_t hold = 0;
    for (int32_t group = 0; group < 8; ++group) {
      const float* at = values + 32 * word + 4 * group;
      const __m128 v = _mm_loadu_ps(at);
      // The value before each: for lag 0 the value itself, whose comparisons are dropped.
      const __m128 before = word == 0 && group == 0 ? _mm_shuffle_ps(v, v, _MM_SHUFFLE(2, 1, 0, 0))
                                                    : _mm_loadu_ps(at - 1);
      notPositive |= uint32_t(_mm_movemask_ps(_mm_cmpngt_ps(v, zero))) << (4 * group);
      rise |= uint32_t(_mm_movemask_ps(_mm_cmplt_ps(before, v))) << (4 * group);
      hold |= uint32_t(_mm_movemask_ps(_mm_cmple_ps(v, before))) << (4 * group);
    }
    sets.notPositive.words[word] = notPositive;
    rises[word] = rise;
    holds[word] = hold;
  }
  for (int32_t word = 0; word < 4; ++word) {
    sets.localMaxima.words[word] = rises[word] & ((holds[word] >> 1) | (holds[word + 1] << 31));
  }
  sets.localMaxima.words[0] &= ~uint32_t(1);
  sets.localMaxima.words[3] &= ~(uint32_t(1) << 31);
  return sets;
}

#else

LagSets ClassifyLags(const float* values) {
  LagSets sets;
  auto include = [](LagSet& set, int32_t lag) { set.words[lag >> 5] |= uint32_t(1) << (lag & 31); };
  for (int32_t i = 0; i < kLags; ++i) {
    if (!(values[i] > 0.0f)) include(sets.notPositive, i);
  }
  for (int32_t i = 1; i < kLastLag; ++i) {
    if (values[i - 1] < values[i] && values[i + 1] <= values[i]) include(sets.localMaxima, i);
  }
  return sets;
}

#endif

// Where the scan of the lobes starts: after the first lobe (walked no further than limit) and
// the gap behind it, and never at lag 0. At the last lag there is nothing to scan.
int32_t ScanStart(const float* values, int32_t limit) {
  int32_t i = 0;
  while (i < limit && values[i] > 0.0f) ++i;
  while (i < kLastLag && values[i] <= 0.0f) ++i;
  return i == 0 ? 1 : i;
}

}  // namespace

int32_t FindLobePeaks(const float* values, int32_t lagLimit, int32_t* lags, int32_t maxLags) {
  // A limit beyond the array would walk off its end.
  const int32_t limit = lagLimit < kLags ? lagLimit : kLags;

  // The walk over the first lobe and the gap behind it as written; then, instead of a test at
  // every lag of every lobe, only the local maxima it would test, in order. The walk tests the
  // lag where it starts and every lag above 0 after it, up to the one before the last, and a
  // lobe ends at each lag that is not above 0: two maxima belong to one lobe when no such lag
  // lies between them. The walk's branches at every lobe's edge are mispredicted often; here
  // each maximum costs a bit scan and a test of the lags between it and the one before.
  const int32_t start = ScanStart(values, limit);
  if (start >= kLastLag) return 0;

  const LagSets sets = ClassifyLags(values);
  // The maxima the walk tests: at start, and after it where the value is above 0 (the last lag
  // is never a local maximum).
  LagSet tested;
  for (int32_t word = 0; word < 4; ++word) {
    const int32_t first = 32 * word;
    uint32_t after = ~sets.notPositive.words[word];
    if (start + 1 > first)
      after &= start + 1 - first >= 32 ? 0 : ~uint32_t(0) << (start + 1 - first);
    tested.words[word] = sets.localMaxima.words[word] & after;
  }
  tested.words[start >> 5] |= sets.localMaxima.words[start >> 5] & (uint32_t(1) << (start & 31));

  int32_t n = 0;
  int32_t best = 0;  // 0: no peak in the current lobe yet
  int32_t previous = 0;
  for (int32_t word = start >> 5; word < 4; ++word) {
    for (uint32_t bits = tested.words[word]; bits != 0; bits &= bits - 1) {
      const int32_t lag = 32 * word + __builtin_ctz(bits);
      if (best == 0) {
        best = lag;
      } else if (AnyBetween(sets.notPositive, previous, lag)) {
        // A lobe ended between them.
        lags[n++] = best;
        if (n >= maxLags) return n;
        best = lag;
      } else if (values[lag] > values[best]) {
        // Equal maxima within one lobe keep the earlier lag.
        best = lag;
      }
      previous = lag;
    }
  }
  // A lobe cut off by the end of the array still counts.
  if (best > 0) lags[n++] = best;
  return n;
}

PeakCandidate InterpolatePeak(const float* values, int32_t lag) {
  const float left = values[lag - 1];
  const float mid = values[lag];
  const float right = values[lag + 1];
  const float curvature = float((double(left) + right) - 2.0 * mid);
  const float slope = float(double(left) - right);
  if (curvature == 0.0f) return PeakCandidate{float(lag), mid};
  return PeakCandidate{float(lag + double(slope) / (2.0 * curvature)),
                       float(mid - double(slope) * slope / (8.0 * curvature))};
}
