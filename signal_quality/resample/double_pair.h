#pragma once

// Two doubles worked on at once: in an SSE2 register (the most the Windows builds may assume)
// or, where simd_choice.h chooses no SSE2, as a plain pair. Each lane is an ordinary IEEE double
// operation, rounded exactly as the scalar one would be, so a sum evaluated in a lane is bit for
// bit the sum evaluated alone.

#include "simd_choice.h"

#if TESSEL_SSE2
#include <emmintrin.h>

using DoublePair = __m128d;

inline DoublePair PairLoad(const double* p) { return _mm_loadu_pd(p); }
inline void PairStore(double* p, DoublePair v) { _mm_storeu_pd(p, v); }
inline DoublePair PairOf(double low, double high) { return _mm_set_pd(high, low); }
inline DoublePair PairSplat(double v) { return _mm_set1_pd(v); }
inline DoublePair PairAdd(DoublePair a, DoublePair b) { return _mm_add_pd(a, b); }
inline DoublePair PairMul(DoublePair a, DoublePair b) { return _mm_mul_pd(a, b); }
inline DoublePair PairDiv(DoublePair a, DoublePair b) { return _mm_div_pd(a, b); }
inline double PairLow(DoublePair v) { return _mm_cvtsd_f64(v); }
inline double PairHigh(DoublePair v) { return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)); }
// (a's high lane, b's low lane): the pair that straddles two neighbouring pairs.
inline DoublePair PairStraddle(DoublePair a, DoublePair b) { return _mm_shuffle_pd(a, b, 1); }

#else

struct DoublePair {
  double low;
  double high;
};

inline DoublePair PairLoad(const double* p) { return {p[0], p[1]}; }
inline void PairStore(double* p, DoublePair v) {
  p[0] = v.low;
  p[1] = v.high;
}
inline DoublePair PairOf(double low, double high) { return {low, high}; }
inline DoublePair PairSplat(double v) { return {v, v}; }
inline DoublePair PairAdd(DoublePair a, DoublePair b) { return {a.low + b.low, a.high + b.high}; }
inline DoublePair PairMul(DoublePair a, DoublePair b) { return {a.low * b.low, a.high * b.high}; }
inline DoublePair PairDiv(DoublePair a, DoublePair b) { return {a.low / b.low, a.high / b.high}; }
inline double PairLow(DoublePair v) { return v.low; }
inline double PairHigh(DoublePair v) { return v.high; }
inline DoublePair PairStraddle(DoublePair a, DoublePair b) { return {a.high, b.low}; }

#endif
