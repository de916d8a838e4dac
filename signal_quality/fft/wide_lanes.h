#pragma once

// The statements of the transform that go through double, for the four lanes of FloatLanes:
// each float widened to double (exactly), the products and their sum or difference in double,
// one rounding to float, as the scalar statements of radix4_butterflies.h do. Three ways of
// doing it give the same bits, as every operation is the same IEEE operation per lane:
//   Sse2Wide: two registers of two lanes, all that the Windows builds may assume;
//   Avx2Wide: one register of four, for processors that have AVX2 (the caller checks). Its
//             functions carry the target attribute and are only inlined into functions that
//             carry it too, so no AVX instruction reaches a path a plain processor runs;
//   PlainWide: lane by lane in plain C++.
// BaselineWide is the one every processor of the build's target runs (simd_choice.h).

#include "fft/float_lanes.h"
#include "fft/radix4_butterflies.h"
#include "simd_choice.h"

#if TESSEL_SSE2
#include <emmintrin.h>

struct Sse2Wide {
  struct Wide {
    __m128d low;  // lanes 0 and 1
    __m128d high;
  };
  static Wide Widen(FloatLanes a) {
    return {_mm_cvtps_pd(a.v), _mm_cvtps_pd(_mm_movehl_ps(a.v, a.v))};
  }
  static Wide Splat(float a) { return {_mm_set1_pd(a), _mm_set1_pd(a)}; }
  static FloatLanes Narrow(__m128d low, __m128d high) {
    return {_mm_movelh_ps(AsWritten(_mm_cvtpd_ps(low)), AsWritten(_mm_cvtpd_ps(high)))};
  }
  // float(a * x).
  static FloatLanes Product(const Wide& a, const Wide& x) {
    return Narrow(_mm_mul_pd(a.low, x.low), _mm_mul_pd(a.high, x.high));
  }
  // float(a * x + b * y) and float(a * x - b * y).
  static FloatLanes SumOfProducts(const Wide& a, const Wide& x, const Wide& b, const Wide& y) {
    return Narrow(_mm_add_pd(_mm_mul_pd(a.low, x.low), _mm_mul_pd(b.low, y.low)),
                  _mm_add_pd(_mm_mul_pd(a.high, x.high), _mm_mul_pd(b.high, y.high)));
  }
  static FloatLanes DifferenceOfProducts(const Wide& a, const Wide& x, const Wide& b,
                                         const Wide& y) {
    return Narrow(_mm_sub_pd(_mm_mul_pd(a.low, x.low), _mm_mul_pd(b.low, y.low)),
                  _mm_sub_pd(_mm_mul_pd(a.high, x.high), _mm_mul_pd(b.high, y.high)));
  }
  // float(c * (a + b)) and float(c * (a - b)), the sum or difference in double too.
  static FloatLanes ScaledSum(double c, FloatLanes a, FloatLanes b) {
    const Wide wa = Widen(a);
    const Wide wb = Widen(b);
    const __m128d s = _mm_set1_pd(c);
    return Narrow(_mm_mul_pd(s, _mm_add_pd(wa.low, wb.low)),
                  _mm_mul_pd(s, _mm_add_pd(wa.high, wb.high)));
  }
  static FloatLanes ScaledDifference(double c, FloatLanes a, FloatLanes b) {
    const Wide wa = Widen(a);
    const Wide wb = Widen(b);
    const __m128d s = _mm_set1_pd(c);
    return Narrow(_mm_mul_pd(s, _mm_sub_pd(wa.low, wb.low)),
                  _mm_mul_pd(s, _mm_sub_pd(wa.high, wb.high)));
  }
};

using BaselineWide = Sse2Wide;

#if TESSEL_AVX2
#include <immintrin.h>

#define TESSEL_TARGET_AVX2 __attribute__((target("avx2")))

struct Avx2Wide {
  struct Wide {
    __m256d v;
  };
  TESSEL_TARGET_AVX2 static Wide Widen(FloatLanes a) { return {_mm256_cvtps_pd(a.v)}; }
  TESSEL_TARGET_AVX2 static Wide Splat(float a) { return {_mm256_set1_pd(a)}; }
  TESSEL_TARGET_AVX2 static FloatLanes Product(const Wide& a, const Wide& x) {
    return {_mm256_cvtpd_ps(_mm256_mul_pd(a.v, x.v))};
  }
  TESSEL_TARGET_AVX2 static FloatLanes SumOfProducts(const Wide& a, const Wide& x, const Wide& b,
                                                     const Wide& y) {
    return {_mm256_cvtpd_ps(_mm256_add_pd(_mm256_mul_pd(a.v, x.v), _mm256_mul_pd(b.v, y.v)))};
  }
  TESSEL_TARGET_AVX2 static FloatLanes DifferenceOfProducts(const Wide& a, const Wide& x,
                                                            const Wide& b, const Wide& y) {
    return {_mm256_cvtpd_ps(_mm256_sub_pd(_mm256_mul_pd(a.v, x.v), _mm256_mul_pd(b.v, y.v)))};
  }
  TESSEL_TARGET_AVX2 static FloatLanes ScaledSum(double c, FloatLanes a, FloatLanes b) {
    return {_mm256_cvtpd_ps(_mm256_mul_pd(
        _mm256_set1_pd(c), _mm256_add_pd(_mm256_cvtps_pd(a.v), _mm256_cvtps_pd(b.v))))};
  }
  TESSEL_TARGET_AVX2 static FloatLanes ScaledDifference(double c, FloatLanes a, FloatLanes b) {
    return {_mm256_cvtpd_ps(_mm256_mul_pd(
        _mm256_set1_pd(c), _mm256_sub_pd(_mm256_cvtps_pd(a.v), _mm256_cvtps_pd(b.v))))};
  }
};

#endif  // TESSEL_AVX2

#else

struct PlainWide {
  struct Wide {
    double v[4];
  };
  static Wide Widen(FloatLanes a) { return {{a.v[0], a.v[1], a.v[2], a.v[3]}}; }
  static Wide Splat(float a) { return {{a, a, a, a}}; }
  static FloatLanes Product(const Wide& a, const Wide& x) {
    FloatLanes r;
    for (int32_t l = 0; l < 4; ++l) r.v[l] = float(a.v[l] * x.v[l]);
    return r;
  }
  static FloatLanes SumOfProducts(const Wide& a, const Wide& x, const Wide& b, const Wide& y) {
    FloatLanes r;
    for (int32_t l = 0; l < 4; ++l) r.v[l] = float(a.v[l] * x.v[l] + b.v[l] * y.v[l]);
    return r;
  }
  static FloatLanes DifferenceOfProducts(const Wide& a, const Wide& x, const Wide& b,
                                         const Wide& y) {
    FloatLanes r;
    for (int32_t l = 0; l < 4; ++l) r.v[l] = float(a.v[l] * x.v[l] - b.v[l] * y.v[l]);
    return r;
  }
  static FloatLanes ScaledSum(double c, FloatLanes a, FloatLanes b) {
    FloatLanes r;
    for (int32_t l = 0; l < 4; ++l) r.v[l] = float(c * (double(a.v[l]) + b.v[l]));
    return r;
  }
  static FloatLanes ScaledDifference(double c, FloatLanes a, FloatLanes b) {
    FloatLanes r;
    for (int32_t l = 0; l < 4; ++l) r.v[l] = float(c * (double(a.v[l]) - b.v[l]));
    return r;
  }
};

using BaselineWide = PlainWide;

#endif

// A twiddle factor per lane (or the same in every lane), widened once.
template <typename W>
struct WideTwiddle {
  typename W::Wide re;
  typename W::Wide im;
};

template <typename W>
inline WideTwiddle<W> SplatTwiddle(const float* pair) {
  return {W::Splat(pair[0]), W::Splat(pair[1])};
}

// Four neighbouring (cosine, sine) pairs of a twiddle row.
template <typename W>
inline WideTwiddle<W> LoadTwiddles(const float* pairs) {
  const ComplexOf<FloatLanes> w = LanesLoadPairs(pairs);
  return {W::Widen(w.re), W::Widen(w.im)};
}

// x times the conjugate of w (forward), and c times w (backward), as ConjugateTwiddle and
// Twiddle of radix4_butterflies.h compute them for one column.
template <typename W>
inline ComplexOf<FloatLanes> ConjugateTwiddle(const WideTwiddle<W>& w, ComplexOf<FloatLanes> x) {
  const typename W::Wide re = W::Widen(x.re);
  const typename W::Wide im = W::Widen(x.im);
  return {W::SumOfProducts(w.re, re, w.im, im), W::DifferenceOfProducts(w.re, im, w.im, re)};
}

template <typename W>
inline ComplexOf<FloatLanes> Twiddle(const WideTwiddle<W>& w, ComplexOf<FloatLanes> c) {
  const typename W::Wide re = W::Widen(c.re);
  const typename W::Wide im = W::Widen(c.im);
  return {W::DifferenceOfProducts(w.re, re, w.im, im), W::SumOfProducts(w.re, im, w.im, re)};
}

// ForwardLastColumn and BackwardLastColumn of radix4_butterflies.h, lane by lane.
template <typename W>
inline QuadOf<FloatLanes> ForwardLastColumn(QuadOf<FloatLanes> x) {
  const double halfSqrt2 = kHalfSqrt2;
  const FloatLanes ti1 = W::ScaledSum(-halfSqrt2, x.v1, x.v3);
  const FloatLanes tr1 = W::ScaledDifference(halfSqrt2, x.v1, x.v3);
  return {tr1 + x.v0, ti1 - x.v2, x.v0 - tr1, ti1 + x.v2};
}

template <typename W>
inline QuadOf<FloatLanes> BackwardLastColumn(QuadOf<FloatLanes> x) {
  const double sqrt2 = kSqrt2;
  const FloatLanes ti1 = x.v1 + x.v3;
  const FloatLanes ti2 = x.v3 - x.v1;
  const FloatLanes tr1 = x.v0 - x.v2;
  const FloatLanes tr2 = x.v0 + x.v2;
  return {tr2 + tr2, W::ScaledDifference(sqrt2, tr1, ti1), ti2 + ti2,
          W::ScaledSum(-sqrt2, tr1, ti1)};
}
