#pragma once

// Four floats worked on at once for the 256-point transform's passes, one lane per butterfly:
// in an SSE2 register (the most the Windows builds may assume) or, where simd_choice.h chooses
// no SSE2, in a plain array. Every lane is an ordinary IEEE operation, so a statement evaluated in
// a lane gives the bits it gives alone. The statements that go through double are in wide_lanes.h.

#include <cstdint>

#include "fft/radix4_butterflies.h"
#include "simd_choice.h"

#if TESSEL_SSE2
#include <emmintrin.h>

struct FloatLanes {
  __m128 v;
};

// The register as computed, with no instruction spent. Compiling for WebAssembly, the compiler
// merges neighbouring shuffles and conversions into forms WebAssembly lacks (a four-lane
// narrowing) or that engines turn into byte permutations, converted lane by lane or twice as
// slow as the steps written; the empty statement keeps the steps as written.
template <typename Register>
inline Register AsWritten(Register r) {
#if defined(__wasm_simd128__)
  __asm__("" : "+r"(r));
#endif
  return r;
}

inline FloatLanes LanesLoad(const float* p) { return {_mm_loadu_ps(p)}; }
inline void LanesStore(float* p, FloatLanes a) { _mm_storeu_ps(p, a.v); }
inline FloatLanes operator+(FloatLanes a, FloatLanes b) { return {_mm_add_ps(a.v, b.v)}; }
inline FloatLanes operator-(FloatLanes a, FloatLanes b) { return {_mm_sub_ps(a.v, b.v)}; }
inline FloatLanes operator*(FloatLanes a, FloatLanes b) { return {_mm_mul_ps(a.v, b.v)}; }
inline FloatLanes LanesSplat(float a) { return {_mm_set1_ps(a)}; }

// Four 16-bit samples as floats, exactly.
inline FloatLanes LanesFromSamples(const int16_t* p) {
  const __m128i samples = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
  return {_mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpacklo_epi16(samples, samples), 16))};
}

// The four lanes in the opposite order.
inline FloatLanes LanesReversed(FloatLanes a) {
  return {_mm_shuffle_ps(a.v, a.v, _MM_SHUFFLE(0, 1, 2, 3))};
}

// Eight floats p[0..7] as pairs: (p[0], p[2], p[4], p[6]) and (p[1], p[3], p[5], p[7]).
inline ComplexOf<FloatLanes> LanesLoadPairs(const float* p) {
  const __m128 a = _mm_loadu_ps(p);
  const __m128 b = _mm_loadu_ps(p + 4);
  return {{_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0))},
          {_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1))}};
}

// The inverse of LanesLoadPairs.
inline void LanesStorePairs(float* p, ComplexOf<FloatLanes> c) {
  _mm_storeu_ps(p, _mm_unpacklo_ps(c.re.v, c.im.v));
  _mm_storeu_ps(p + 4, _mm_unpackhi_ps(c.re.v, c.im.v));
}

// Rows r0..r3 of a 4 x 4 block as its columns.
inline QuadOf<FloatLanes> LanesTransposed(QuadOf<FloatLanes> r) {
  __m128 a = r.v0.v, b = r.v1.v, c = r.v2.v, d = r.v3.v;
  _MM_TRANSPOSE4_PS(a, b, c, d);
  return {{AsWritten(a)}, {AsWritten(b)}, {AsWritten(c)}, {AsWritten(d)}};
}

#else

struct FloatLanes {
  float v[4];
};

inline FloatLanes LanesLoad(const float* p) { return {{p[0], p[1], p[2], p[3]}}; }
inline void LanesStore(float* p, FloatLanes a) {
  for (int32_t l = 0; l < 4; ++l) p[l] = a.v[l];
}
inline FloatLanes operator+(FloatLanes a, FloatLanes b) {
  for (int32_t l = 0; l < 4; ++l) a.v[l] = a.v[l] + b.v[l];
  return a;
}
inline FloatLanes operator-(FloatLanes a, FloatLanes b) {
  for (int32_t l = 0; l < 4; ++l) a.v[l] = a.v[l] - b.v[l];
  return a;
}
inline FloatLanes operator*(FloatLanes a, FloatLanes b) {
  for (int32_t l = 0; l < 4; ++l) a.v[l] = a.v[l] * b.v[l];
  return a;
}
inline FloatLanes LanesSplat(float a) { return {{a, a, a, a}}; }
inline FloatLanes LanesFromSamples(const int16_t* p) {
  return {{float(p[0]), float(p[1]), float(p[2]), float(p[3])}};
}
inline FloatLanes LanesReversed(FloatLanes a) { return {{a.v[3], a.v[2], a.v[1], a.v[0]}}; }
inline ComplexOf<FloatLanes> LanesLoadPairs(const float* p) {
  return {{{p[0], p[2], p[4], p[6]}}, {{p[1], p[3], p[5], p[7]}}};
}
inline void LanesStorePairs(float* p, ComplexOf<FloatLanes> c) {
  for (int32_t l = 0; l < 4; ++l) {
    p[2 * l] = c.re.v[l];
    p[2 * l + 1] = c.im.v[l];
  }
}
inline QuadOf<FloatLanes> LanesTransposed(QuadOf<FloatLanes> r) {
  const FloatLanes rows[4] = {r.v0, r.v1, r.v2, r.v3};
  FloatLanes c[4];
  for (int32_t i = 0; i < 4; ++i) {
    for (int32_t j = 0; j < 4; ++j) c[i].v[j] = rows[j].v[i];
  }
  return {c[0], c[1], c[2], c[3]};
}

#endif
