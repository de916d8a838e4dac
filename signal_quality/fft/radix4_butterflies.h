#pragma once

// The statements of FFTPACK's radix-4 passes (RADF4, RADB4) for one column of one sequence,
// written once for every arrangement of the arrays that the 256-point transform's passes
// use.
//
// Each statement is evaluated in double and rounded once where it is stored. For a sum of two
// floats that is plain float arithmetic; for the twiddle products and the sqrt(2) columns it
// is not, and the expression grouping below is the one the results depend on.

// The butterflies are written once for a float and for four floats side by side (float_lanes.h),
// one lane per butterfly; the twiddle products and the sqrt(2) columns, which go through
// double, are written for each.

// Real and imaginary part of a column: the values at i - 1 and i of one row.
template <typename T>
struct ComplexOf {
  T re;
  T im;
};

// One value of each of the rows 0..3.
template <typename T>
struct QuadOf {
  T v0;
  T v1;
  T v2;
  T v3;
};

using Complex = ComplexOf<float>;
using Quad = QuadOf<float>;

// sqrt(2)/2 and sqrt(2) in single precision, the constants of the last columns.
inline constexpr float kHalfSqrt2 = 0.70710677f;
inline constexpr float kSqrt2 = 1.4142135f;

// Both products of two floats are exact in double: one rounding of the sum to double, one
// to float.
inline float SumOfProducts(float a, float x, float b, float y) {
  return float(double(a) * x + double(b) * y);
}

inline float DifferenceOfProducts(float a, float x, float b, float y) {
  return float(double(a) * x - double(b) * y);
}

// x times the conjugate of the twiddle w (forward), and c times w (backward).
inline Complex ConjugateTwiddle(Complex w, Complex x) {
  return {SumOfProducts(w.re, x.re, w.im, x.im), DifferenceOfProducts(w.re, x.im, w.im, x.re)};
}

inline Complex Twiddle(Complex w, Complex c) {
  return {DifferenceOfProducts(w.re, c.re, w.im, c.im), SumOfProducts(w.re, c.im, w.im, c.re)};
}

// Forward, column 0: x holds row m's value at i = 0. Returns the values for o0[0], o1[last],
// o2[0], o3[last].
template <typename T>
inline QuadOf<T> ForwardFirstColumn(QuadOf<T> x) {
  const T tr1 = x.v1 + x.v3;
  const T tr2 = x.v0 + x.v2;
  return {tr1 + tr2, x.v0 - x.v2, x.v3 - x.v1, tr2 - tr1};
}

// Forward, last column of an even ido: x holds row m's value at i = last. Returns the values
// for o0[last], o1[0], o2[last], o3[0].
inline Quad ForwardLastColumn(Quad x) {
  // The sum and the difference stay in double up to the product.
  const float ti1 = float(-double(kHalfSqrt2) * (double(x.v1) + x.v3));
  const float tr1 = float(double(kHalfSqrt2) * (double(x.v1) - x.v3));
  return {tr1 + x.v0, ti1 - x.v2, x.v0 - tr1, ti1 + x.v2};
}

// Forward, a twiddled column after the multiplication: x0 from row 0, c2..c4 the products of
// rows 1..3. o0 and o2 go to columns (i - 1, i) of rows 0 and 2, o1 and o3 to the mirrored
// columns (ic - 1, ic) of rows 1 and 3.
template <typename T>
struct ForwardOutputsOf {
  ComplexOf<T> o0;
  ComplexOf<T> o1;
  ComplexOf<T> o2;
  ComplexOf<T> o3;
};

template <typename T>
inline ForwardOutputsOf<T> ForwardButterfly(ComplexOf<T> x0, ComplexOf<T> c2, ComplexOf<T> c3,
                                            ComplexOf<T> c4) {
  const T tr1 = c2.re + c4.re;
  const T tr4 = c4.re - c2.re;
  const T ti1 = c2.im + c4.im;
  const T ti4 = c2.im - c4.im;
  const T ti2 = x0.im + c3.im;
  const T ti3 = x0.im - c3.im;
  const T tr2 = x0.re + c3.re;
  const T tr3 = x0.re - c3.re;
  return {{tr1 + tr2, ti1 + ti2},
          {tr3 - ti4, tr4 - ti3},
          {ti4 + tr3, tr4 + ti3},
          {tr2 - tr1, ti1 - ti2}};
}

// Backward, column 0: x holds x0[0], x1[last], x2[0], x3[last]. Returns the values for
// o0[0] .. o3[0].
template <typename T>
inline QuadOf<T> BackwardFirstColumn(QuadOf<T> x) {
  const T tr1 = x.v0 - x.v3;
  const T tr2 = x.v0 + x.v3;
  const T tr3 = x.v1 + x.v1;
  const T tr4 = x.v2 + x.v2;
  return {tr2 + tr3, tr1 - tr4, tr2 - tr3, tr1 + tr4};
}

// Backward, last column of an even ido: x holds x0[last], x1[0], x2[last], x3[0]. Returns the
// values for o0[last] .. o3[last].
inline Quad BackwardLastColumn(Quad x) {
  const float ti1 = x.v1 + x.v3;
  const float ti2 = x.v3 - x.v1;
  const float tr1 = x.v0 - x.v2;
  const float tr2 = x.v0 + x.v2;
  // The sum and the difference stay in double up to the product.
  return {tr2 + tr2, float(double(kSqrt2) * (double(tr1) - ti1)), ti2 + ti2,
          float(-double(kSqrt2) * (double(tr1) + ti1))};
}

// Backward, a twiddled column before the multiplication: x0 and x2 from columns (i - 1, i)
// of rows 0 and 2, x1 and x3 from the mirrored columns (ic - 1, ic) of rows 1 and 3. o0 goes
// to row 0; c2..c4 are multiplied by the twiddles of rows 1..3.
template <typename T>
struct BackwardOutputsOf {
  ComplexOf<T> o0;
  ComplexOf<T> c2;
  ComplexOf<T> c3;
  ComplexOf<T> c4;
};

template <typename T>
inline BackwardOutputsOf<T> BackwardButterfly(ComplexOf<T> x0, ComplexOf<T> x1, ComplexOf<T> x2,
                                              ComplexOf<T> x3) {
  const T ti1 = x0.im + x3.im;
  const T ti2 = x0.im - x3.im;
  const T ti3 = x2.im - x1.im;
  const T tr4 = x2.im + x1.im;
  const T tr1 = x0.re - x3.re;
  const T tr2 = x0.re + x3.re;
  const T ti4 = x2.re - x1.re;
  const T tr3 = x2.re + x1.re;
  return {{tr2 + tr3, ti2 + ti3},
          {tr1 - tr4, ti1 + ti4},
          {tr2 - tr3, ti2 - ti3},
          {tr1 + tr4, ti1 - ti4}};
}
