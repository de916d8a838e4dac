#include "fft/real_fft_256.h"

#include <cstddef>
#include <cstdint>

#include "fft/fft_tables.h"
#include "fft/float_lanes.h"
#include "fft/radix4_butterflies.h"
#include "fft/wide_lanes.h"

// In FFTPACK's order a pass reads (i, k, m) and writes (i, m, k), so the next pass finds the
// values of its sequences k apart by ido floats. Here each of the short-row passes (ido = 1,
// 4, 16) writes its results straight into the order the next pass reads best, with the
// sequences innermost ("k-major" below), so that four neighbouring sequences sit in the four
// lanes of one register and every statement runs for all four at once. The long-row passes
// (ido = 64, one sequence) keep FFTPACK's order and put four neighbouring columns in the lanes
// instead.
//
// Index conventions, for a pass with row length ido and l1 sequences:
//   forward input (i, k, m) is FFTPACK's cc[i + ido * (k + l1 * m)], output (i, m, k) its
//   ch[i + ido * (m + 4 * k)]; backward the other way round. Rows m = 0..3.

namespace {

using Lanes = FloatLanes;
using ComplexLanes = ComplexOf<FloatLanes>;
using QuadLanes = QuadOf<FloatLanes>;

constexpr int32_t kN = 256;
// Twiddle rows of each pass (TwiddleTable's layout): ido = 64 at 0, 16 at 192, 4 at 240.
constexpr int32_t kTwiddles64 = 0;
constexpr int32_t kTwiddles16 = 192;
constexpr int32_t kTwiddles4 = 240;
// The long-row pass: row length, its twiddled columns i = 2, 4, .., 62, and where each group
// of four of them starts. The last group overlaps the one before it, which computes column 27
// twice and stores the same values twice.
constexpr int32_t kLongRow = 64;
constexpr int32_t kLongRowColumns = (kLongRow - 1) / 2;
constexpr int32_t kLongRowGroups[] = {0, 4, 8, 12, 16, 20, 24, 27};

void StoreComplex(float* re, float* im, ComplexLanes c) {
  LanesStore(re, c.re);
  LanesStore(im, c.im);
}

// Forward pass 1 (ido = 1, l1 = 64): data in FFTPACK order; out, the input (i, k, m) of pass 2
// (ido = 4, l1 = 16) k-major: out[64 m + 16 i + k].
void ForwardPass1(const float* __restrict data, float* __restrict out) {
  // Output (0, m, k) of this pass is input (i = m, k % 16, k / 16) of the next.
  for (int32_t a = 0; a < 4; ++a) {
    const float* x = data + 16 * a;
    float* o = out + 64 * a;
    for (int32_t b = 0; b < 16; b += 4) {
      const QuadLanes q =
          ForwardFirstColumn<Lanes>({LanesLoad(x + b), LanesLoad(x + b + 64),
                                     LanesLoad(x + b + 128), LanesLoad(x + b + 192)});
      LanesStore(o + b, q.v0);
      LanesStore(o + 16 + b, q.v1);
      LanesStore(o + 32 + b, q.v2);
      LanesStore(o + 48 + b, q.v3);
    }
  }
}

// Forward pass 2 (ido = 4, l1 = 16): in as ForwardPass1 wrote it; out, the input (i, k, m)
// of pass 3 (ido = 16, l1 = 4) k-major: out[64 m + 4 i + k]. Lanes: four sequences.
template <typename W>
void ForwardPass2(const float* __restrict in, float* __restrict out, const float* twiddles) {
  const float* wa = twiddles + kTwiddles4;
  const WideTwiddle<W> w1 = SplatTwiddle<W>(wa);
  const WideTwiddle<W> w2 = SplatTwiddle<W>(wa + 4);
  const WideTwiddle<W> w3 = SplatTwiddle<W>(wa + 8);
  // Output (i, m, k) of this pass is input (i + 4 m, k % 4, k / 4) of the next.
  for (int32_t a = 0; a < 4; ++a) {
    float* o = out + 64 * a;
    auto x = [&](int32_t i, int32_t m) { return LanesLoad(in + 64 * m + 16 * i + 4 * a); };
    auto at = [&](int32_t i, int32_t m) { return o + 4 * (i + 4 * m); };
    const QuadLanes first = ForwardFirstColumn<Lanes>({x(0, 0), x(0, 1), x(0, 2), x(0, 3)});
    LanesStore(at(0, 0), first.v0);
    LanesStore(at(3, 1), first.v1);
    LanesStore(at(0, 2), first.v2);
    LanesStore(at(3, 3), first.v3);
    // The one twiddled column, i = 2, is its own mirror (ic = 2).
    const ForwardOutputsOf<Lanes> r = ForwardButterfly<Lanes>(
        {x(1, 0), x(2, 0)}, ConjugateTwiddle(w1, {x(1, 1), x(2, 1)}),
        ConjugateTwiddle(w2, {x(1, 2), x(2, 2)}), ConjugateTwiddle(w3, {x(1, 3), x(2, 3)}));
    StoreComplex(at(1, 0), at(2, 0), r.o0);
    StoreComplex(at(1, 1), at(2, 1), r.o1);
    StoreComplex(at(1, 2), at(2, 2), r.o2);
    StoreComplex(at(1, 3), at(2, 3), r.o3);
    const QuadLanes lastColumn = ForwardLastColumn<W>({x(3, 0), x(3, 1), x(3, 2), x(3, 3)});
    LanesStore(at(3, 0), lastColumn.v0);
    LanesStore(at(0, 1), lastColumn.v1);
    LanesStore(at(3, 2), lastColumn.v2);
    LanesStore(at(0, 3), lastColumn.v3);
  }
}

// Forward pass 3 (ido = 16, l1 = 4): in as ForwardPass2 wrote it; out k-major, out[4 j + k]
// for the value at i + 16 m + 64 k of FFTPACK's order (j = i + 16 m): the four values of one
// column of pass 4's four rows side by side. Lanes: the four sequences.
template <typename W>
void ForwardPass3(const float* __restrict in, float* __restrict out, const float* twiddles) {
  constexpr int32_t ido = 16;
  constexpr int32_t last = ido - 1;
  const float* wa = twiddles + kTwiddles16;
  auto x = [&](int32_t i, int32_t m) { return LanesLoad(in + 64 * m + 4 * i); };
  auto at = [&](int32_t i, int32_t m) { return out + 4 * (i + ido * m); };
  const QuadLanes first = ForwardFirstColumn<Lanes>({x(0, 0), x(0, 1), x(0, 2), x(0, 3)});
  LanesStore(at(0, 0), first.v0);
  LanesStore(at(last, 1), first.v1);
  LanesStore(at(0, 2), first.v2);
  LanesStore(at(last, 3), first.v3);
  for (int32_t i = 2; i < ido; i += 2) {
    const int32_t ic = ido - i;
    const ForwardOutputsOf<Lanes> r = ForwardButterfly<Lanes>(
        {x(i - 1, 0), x(i, 0)},
        ConjugateTwiddle(SplatTwiddle<W>(wa + i - 2), {x(i - 1, 1), x(i, 1)}),
        ConjugateTwiddle(SplatTwiddle<W>(wa + ido + i - 2), {x(i - 1, 2), x(i, 2)}),
        ConjugateTwiddle(SplatTwiddle<W>(wa + 2 * ido + i - 2), {x(i - 1, 3), x(i, 3)}));
    StoreComplex(at(i - 1, 0), at(i, 0), r.o0);
    StoreComplex(at(ic - 1, 1), at(ic, 1), r.o1);
    StoreComplex(at(i - 1, 2), at(i, 2), r.o2);
    StoreComplex(at(ic - 1, 3), at(ic, 3), r.o3);
  }
  const QuadLanes lastColumn =
      ForwardLastColumn<W>({x(last, 0), x(last, 1), x(last, 2), x(last, 3)});
  LanesStore(at(last, 0), lastColumn.v0);
  LanesStore(at(0, 1), lastColumn.v1);
  LanesStore(at(last, 2), lastColumn.v2);
  LanesStore(at(0, 3), lastColumn.v3);
}

// ForwardPass3's output into FFTPACK's order, row k at out + 64 k: transposed in blocks of
// four.
void ColumnsToRows(const float* __restrict columns, float* __restrict out) {
  for (int32_t j = 0; j < 64; j += 4) {
    const QuadLanes rows =
        LanesTransposed({LanesLoad(columns + 4 * j), LanesLoad(columns + 4 * j + 4),
                         LanesLoad(columns + 4 * j + 8), LanesLoad(columns + 4 * j + 12)});
    LanesStore(out + j, rows.v0);
    LanesStore(out + 64 + j, rows.v1);
    LanesStore(out + 128 + j, rows.v2);
    LanesStore(out + 192 + j, rows.v3);
  }
}

// The rows m = 0..3 of a long-row pass in its input (x) and its output (o).
struct LongRows {
  const float* x0;
  const float* x1;
  const float* x2;
  const float* x3;
  float* o0;
  float* o1;
  float* o2;
  float* o3;
};

LongRows RowsOf(const float* in, float* out) {
  return {in,  in + kLongRow,  in + 2 * kLongRow,  in + 3 * kLongRow,
          out, out + kLongRow, out + 2 * kLongRow, out + 3 * kLongRow};
}

// Columns c .. c + 3 of a row, column c being the pair at 2 c + 1 and 2 c + 2 (i = 2 c + 2).
ComplexLanes LoadColumns(const float* row, int32_t c) { return LanesLoadPairs(row + 2 * c + 1); }

void StoreColumns(float* row, int32_t c, ComplexLanes v) { LanesStorePairs(row + 2 * c + 1, v); }

// Columns c .. c + 3 of a row read from their mirrors ic = 64 - i, that is columns 30 - c down
// to 27 - c, and written there.
ComplexLanes LoadMirroredColumns(const float* row, int32_t c) {
  const ComplexLanes v = LoadColumns(row, kLongRowColumns - 4 - c);
  return {LanesReversed(v.re), LanesReversed(v.im)};
}

void StoreMirroredColumns(float* row, int32_t c, ComplexLanes v) {
  StoreColumns(row, kLongRowColumns - 4 - c, {LanesReversed(v.re), LanesReversed(v.im)});
}

// The twiddles of row m (1..3) for columns c .. c + 3.
template <typename W>
WideTwiddle<W> LongRowTwiddles(const float* twiddles, int32_t m, int32_t c) {
  return LoadTwiddles<W>(twiddles + kTwiddles64 + kLongRow * (m - 1) + 2 * c);
}

// Forward pass 4 (ido = 64, l1 = 1): in as ForwardPass3 wrote it, row m at in + 64 m; data in
// FFTPACK order, row m at data + 64 m. Lanes: four neighbouring columns.
template <typename W>
void ForwardPass4(const float* __restrict in, float* __restrict data, const float* twiddles) {
  constexpr int32_t last = kLongRow - 1;
  const auto [x0, x1, x2, x3, o0, o1, o2, o3] = RowsOf(in, data);
  const Quad first = ForwardFirstColumn<float>({x0[0], x1[0], x2[0], x3[0]});
  const Quad lastColumn = ForwardLastColumn(Quad{x0[last], x1[last], x2[last], x3[last]});
  for (int32_t c : kLongRowGroups) {
    const ForwardOutputsOf<Lanes> r = ForwardButterfly<Lanes>(
        LoadColumns(x0, c),
        ConjugateTwiddle(LongRowTwiddles<W>(twiddles, 1, c), LoadColumns(x1, c)),
        ConjugateTwiddle(LongRowTwiddles<W>(twiddles, 2, c), LoadColumns(x2, c)),
        ConjugateTwiddle(LongRowTwiddles<W>(twiddles, 3, c), LoadColumns(x3, c)));
    StoreColumns(o0, c, r.o0);
    StoreMirroredColumns(o1, c, r.o1);
    StoreColumns(o2, c, r.o2);
    StoreMirroredColumns(o3, c, r.o3);
  }
  // After the groups, whose pairs reach from 1 to 62 of every row.
  o0[0] = first.v0;
  o1[last] = first.v1;
  o2[0] = first.v2;
  o3[last] = first.v3;
  o0[last] = lastColumn.v0;
  o1[0] = lastColumn.v1;
  o2[last] = lastColumn.v2;
  o3[0] = lastColumn.v3;
}

// Backward pass 1 writes its output (i, 0, m), FFTPACK's u[i + 64 m], as the input (i % 16,
// i / 16, k = m) of pass 2 k-major: out[4 i + m]. These store its four rows, columns c .. c + 3
// of the twiddled ones (the real parts at i - 1 = 2 c + 1, the imaginary parts at i), or the
// first and the last column, transposed in blocks of four on the way out.
void StoreBackwardColumns(float* out, int32_t c, ComplexLanes o0, ComplexLanes o1, ComplexLanes o2,
                          ComplexLanes o3) {
  const QuadLanes re = LanesTransposed({o0.re, o1.re, o2.re, o3.re});
  const QuadLanes im = LanesTransposed({o0.im, o1.im, o2.im, o3.im});
  float* o = out + 4 * (2 * c + 1);
  LanesStore(o, re.v0);
  LanesStore(o + 4, im.v0);
  LanesStore(o + 8, re.v1);
  LanesStore(o + 12, im.v1);
  LanesStore(o + 16, re.v2);
  LanesStore(o + 20, im.v2);
  LanesStore(o + 24, re.v3);
  LanesStore(o + 28, im.v3);
}

void StoreBackwardFirstAndLast(float* out, Quad first, Quad last) {
  const float firstValues[4] = {first.v0, first.v1, first.v2, first.v3};
  const float lastValues[4] = {last.v0, last.v1, last.v2, last.v3};
  LanesStore(out, LanesLoad(firstValues));
  LanesStore(out + 4 * (kLongRow - 1), LanesLoad(lastValues));
}

// Backward pass 1 (ido = 64, l1 = 1): data in FFTPACK order, row m at data + 64 m; out, the
// input (i, m, k) of pass 2 (ido = 16, l1 = 4) k-major, out[4 (i + 16 m) + k], through
// StoreBackwardColumns. Lanes: four neighbouring columns.
template <typename W>
void BackwardPass1(const float* __restrict data, float* __restrict out, const float* twiddles) {
  constexpr int32_t last = kLongRow - 1;
  const float* x0 = data;
  const float* x1 = data + kLongRow;
  const float* x2 = data + 2 * kLongRow;
  const float* x3 = data + 3 * kLongRow;
  const Quad first = BackwardFirstColumn<float>({x0[0], x1[last], x2[0], x3[last]});
  const Quad lastColumn = BackwardLastColumn(Quad{x0[last], x1[0], x2[last], x3[0]});
  for (int32_t c : kLongRowGroups) {
    const BackwardOutputsOf<Lanes> r =
        BackwardButterfly<Lanes>(LoadColumns(x0, c), LoadMirroredColumns(x1, c), LoadColumns(x2, c),
                                 LoadMirroredColumns(x3, c));
    StoreBackwardColumns(out, c, r.o0, Twiddle(LongRowTwiddles<W>(twiddles, 1, c), r.c2),
                         Twiddle(LongRowTwiddles<W>(twiddles, 2, c), r.c3),
                         Twiddle(LongRowTwiddles<W>(twiddles, 3, c), r.c4));
  }
  StoreBackwardFirstAndLast(out, first, lastColumn);
}

// Backward pass 2 (ido = 16, l1 = 4): in, its input (i, m, k) k-major, in[4 (i + 16 m) + k];
// out, the input (i, m, k) of pass 3 (ido = 4, l1 = 16) k-major: out[16 (i + 4 m) + k].
// Lanes: the four sequences.
template <typename W>
void BackwardPass2(const float* __restrict in, float* __restrict out, const float* twiddles) {
  constexpr int32_t ido = 16;
  constexpr int32_t last = ido - 1;
  const float* wa = twiddles + kTwiddles16;
  auto x = [&](int32_t i, int32_t m) { return LanesLoad(in + 4 * (i + ido * m)); };
  // Output (i, k, m) of this pass is input (i % 4, i / 4, k + 4 m) of the next.
  auto at = [&](int32_t i, int32_t m) { return out + 16 * i + 4 * m; };
  const QuadLanes first = BackwardFirstColumn<Lanes>({x(0, 0), x(last, 1), x(0, 2), x(last, 3)});
  LanesStore(at(0, 0), first.v0);
  LanesStore(at(0, 1), first.v1);
  LanesStore(at(0, 2), first.v2);
  LanesStore(at(0, 3), first.v3);
  for (int32_t i = 2; i < ido; i += 2) {
    const int32_t ic = ido - i;
    const BackwardOutputsOf<Lanes> r =
        BackwardButterfly<Lanes>({x(i - 1, 0), x(i, 0)}, {x(ic - 1, 1), x(ic, 1)},
                                 {x(i - 1, 2), x(i, 2)}, {x(ic - 1, 3), x(ic, 3)});
    StoreComplex(at(i - 1, 0), at(i, 0), r.o0);
    StoreComplex(at(i - 1, 1), at(i, 1), Twiddle(SplatTwiddle<W>(wa + i - 2), r.c2));
    StoreComplex(at(i - 1, 2), at(i, 2), Twiddle(SplatTwiddle<W>(wa + ido + i - 2), r.c3));
    StoreComplex(at(i - 1, 3), at(i, 3), Twiddle(SplatTwiddle<W>(wa + 2 * ido + i - 2), r.c4));
  }
  const QuadLanes lastColumn = BackwardLastColumn<W>({x(last, 0), x(0, 1), x(last, 2), x(0, 3)});
  LanesStore(at(last, 0), lastColumn.v0);
  LanesStore(at(last, 1), lastColumn.v1);
  LanesStore(at(last, 2), lastColumn.v2);
  LanesStore(at(last, 3), lastColumn.v3);
}

// Backward pass 3 (ido = 4, l1 = 16): in as BackwardPass2 wrote it; out, the input (0, m, k)
// of pass 4 (ido = 1, l1 = 64) k-major: out[64 m + k]. Lanes: four sequences.
template <typename W>
void BackwardPass3(const float* __restrict in, float* __restrict out, const float* twiddles) {
  const float* wa = twiddles + kTwiddles4;
  const WideTwiddle<W> w1 = SplatTwiddle<W>(wa);
  const WideTwiddle<W> w2 = SplatTwiddle<W>(wa + 4);
  const WideTwiddle<W> w3 = SplatTwiddle<W>(wa + 8);
  // Output (i, k, m) of this pass is input (0, i, k + 16 m) of the next.
  for (int32_t k = 0; k < 16; k += 4) {
    auto x = [&](int32_t i, int32_t m) { return LanesLoad(in + 16 * (i + 4 * m) + k); };
    auto at = [&](int32_t i, int32_t m) { return out + 64 * i + 16 * m + k; };
    const QuadLanes first = BackwardFirstColumn<Lanes>({x(0, 0), x(3, 1), x(0, 2), x(3, 3)});
    LanesStore(at(0, 0), first.v0);
    LanesStore(at(0, 1), first.v1);
    LanesStore(at(0, 2), first.v2);
    LanesStore(at(0, 3), first.v3);
    // The one twiddled column, i = 2, is its own mirror (ic = 2).
    const BackwardOutputsOf<Lanes> r = BackwardButterfly<Lanes>(
        {x(1, 0), x(2, 0)}, {x(1, 1), x(2, 1)}, {x(1, 2), x(2, 2)}, {x(1, 3), x(2, 3)});
    StoreComplex(at(1, 0), at(2, 0), r.o0);
    StoreComplex(at(1, 1), at(2, 1), Twiddle(w1, r.c2));
    StoreComplex(at(1, 2), at(2, 2), Twiddle(w2, r.c3));
    StoreComplex(at(1, 3), at(2, 3), Twiddle(w3, r.c4));
    const QuadLanes lastColumn = BackwardLastColumn<W>({x(3, 0), x(0, 1), x(3, 2), x(0, 3)});
    LanesStore(at(3, 0), lastColumn.v0);
    LanesStore(at(3, 1), lastColumn.v1);
    LanesStore(at(3, 2), lastColumn.v2);
    LanesStore(at(3, 3), lastColumn.v3);
  }
}

// Backward pass 4 (ido = 1, l1 = 64): in as BackwardPass3 wrote it; data in FFTPACK order,
// data[k + 64 m]. Lanes: four sequences.
void BackwardPass4(const float* __restrict in, float* __restrict data) {
  for (int32_t k = 0; k < 64; k += 4) {
    const QuadLanes q =
        BackwardFirstColumn<Lanes>({LanesLoad(in + k), LanesLoad(in + 64 + k),
                                    LanesLoad(in + 128 + k), LanesLoad(in + 192 + k)});
    LanesStore(data + k, q.v0);
    LanesStore(data + 64 + k, q.v1);
    LanesStore(data + 128 + k, q.v2);
    LanesStore(data + 192 + k, q.v3);
  }
}

// The route of the autocorrelation: a window of 128 samples, zero-filled to 256, forward;
// each bin's power scaled by 1/256, which cancels the scale of the pair; backward; lags 0..127.
// The same statements as the separate transforms and the power spectrum between them, in
// fewer passes over memory: the spectrum never leaves the registers.

// Forward pass 1 on the window as floats, its upper half zero: ForwardPass1's statements with
// +0 for the values at 128 .. 255.
void ForwardPass1FromWindow(const int16_t* __restrict window, float* __restrict out) {
  const Lanes zero = LanesSplat(0.0f);
  for (int32_t a = 0; a < 4; ++a) {
    float* o = out + 64 * a;
    for (int32_t b = 0; b < 16; b += 4) {
      const QuadLanes q =
          ForwardFirstColumn<Lanes>({LanesFromSamples(window + 16 * a + b),
                                     LanesFromSamples(window + 64 + 16 * a + b), zero, zero});
      LanesStore(o + b, q.v0);
      LanesStore(o + 16 + b, q.v1);
      LanesStore(o + 32 + b, q.v2);
      LanesStore(o + 48 + b, q.v3);
    }
  }
}

constexpr float kPowerScale = 0.00390625f;

// A bin's power: float(re * re + im * im), the squares and their sum in double, then scaled by
// 1/256 in float. Scaling a float by a power of two in double and rounding once to float is
// the float product itself, subnormal results included.
float BinPower(float re, float im) {
  return float(double(re) * re + double(im) * im) * kPowerScale;
}

float RealBinPower(float re) { return float(double(re) * re) * kPowerScale; }

template <typename W>
Lanes BinPower(ComplexLanes x) {
  const typename W::Wide re = W::Widen(x.re);
  const typename W::Wide im = W::Widen(x.im);
  return W::SumOfProducts(re, re, im, im) * LanesSplat(kPowerScale);
}

// BackwardButterfly for the power spectrum: four bins whose imaginary parts are +0 and whose
// real parts, sums of squares, are never -0. With those inputs its statements fold, value for
// value, as follows: ti1, ti2, ti3 and tr4 are +0 + +0 or +0 - +0, that is +0; so o0.im =
// ti2 + ti3 and c3.im = ti2 - ti3 are +0; c2.re = tr1 - tr4 is tr1, as subtracting +0 changes
// nothing; c2.im = ti1 + ti4 is ti4 and c4.re = tr1 + tr4 is tr1, as adding +0 changes only a
// -0, and tr1 = a - d and ti4 = c - b, differences of values that are never -0, are never -0.
// c4.im = ti1 - ti4 stays a subtraction from +0, which is +0, not -0, for ti4 = +0.
struct PowerButterflyOutputs {
  Lanes o0;  // real part; the imaginary part is +0
  ComplexLanes c2;
  Lanes c3;  // real part; the imaginary part is +0
  ComplexLanes c4;
};

PowerButterflyOutputs PowerButterfly(Lanes a, Lanes b, Lanes c, Lanes d, Lanes zero) {
  const Lanes tr1 = a - d;
  const Lanes tr2 = a + d;
  const Lanes ti4 = c - b;
  const Lanes tr3 = c + b;
  return {tr2 + tr3, {tr1, ti4}, tr2 - tr3, {tr1, zero - ti4}};
}

// The columns c .. c + 3 of the four rows from ForwardPass3's k-major output: real parts at
// j = 2 (c + t) + 1 and imaginary parts at j + 1 for the lanes t = 0..3, each block of four
// rows transposed into four rows of four columns.
QuadOf<ComplexLanes> LoadGroupColumns(const float* columns, int32_t c) {
  auto rowsAt = [&](int32_t j) {
    return LanesTransposed({LanesLoad(columns + 4 * j), LanesLoad(columns + 4 * j + 8),
                            LanesLoad(columns + 4 * j + 16), LanesLoad(columns + 4 * j + 24)});
  };
  const QuadLanes re = rowsAt(2 * c + 1);
  const QuadLanes im = rowsAt(2 * c + 2);
  return {{re.v0, im.v0}, {re.v1, im.v1}, {re.v2, im.v2}, {re.v3, im.v3}};
}

// Forward pass 4, the power spectrum and backward pass 1 in one. in: forward pass 3's k-major
// output; out: backward pass 2's input, as BackwardPass1 writes it. Backward pass 1 reads
// every value where forward pass 4 wrote it: a column's mirrored rows are mirrored twice, so
// the lanes meet again. In the half-complex spectrum the first column holds the DC bin, bin 64
// (real, imaginary) and the Nyquist bin, the last column bins 32 and 96; the power step leaves
// a bin's power in its real part and +0 in its imaginary part.
template <typename W>
void PowerSpectrumPass(const float* __restrict in, float* __restrict out) {
  constexpr int32_t last = kLongRow - 1;
  const float* firstColumn = in;
  const float* lastColumnIn = in + 4 * last;
  const Quad spectrumFirst =
      ForwardFirstColumn<float>({firstColumn[0], firstColumn[1], firstColumn[2], firstColumn[3]});
  const Quad spectrumLast =
      ForwardLastColumn(Quad{lastColumnIn[0], lastColumnIn[1], lastColumnIn[2], lastColumnIn[3]});
  const Quad first = BackwardFirstColumn<float>({RealBinPower(spectrumFirst.v0),
                                                 BinPower(spectrumFirst.v1, spectrumFirst.v2), 0.0f,
                                                 RealBinPower(spectrumFirst.v3)});
  const Quad lastColumn =
      BackwardLastColumn(Quad{BinPower(spectrumLast.v0, spectrumLast.v1), 0.0f,
                              BinPower(spectrumLast.v2, spectrumLast.v3), 0.0f});
  const Lanes zero = LanesSplat(0.0f);
  for (int32_t c : kLongRowGroups) {
    const WideTwiddle<W> w1 = LongRowTwiddles<W>(TwiddleTable, 1, c);
    const WideTwiddle<W> w2 = LongRowTwiddles<W>(TwiddleTable, 2, c);
    const WideTwiddle<W> w3 = LongRowTwiddles<W>(TwiddleTable, 3, c);
    const QuadOf<ComplexLanes> x = LoadGroupColumns(in, c);
    const ForwardOutputsOf<Lanes> spectrum = ForwardButterfly<Lanes>(
        x.v0, ConjugateTwiddle(w1, x.v1), ConjugateTwiddle(w2, x.v2), ConjugateTwiddle(w3, x.v3));
    const PowerButterflyOutputs r =
        PowerButterfly(BinPower<W>(spectrum.o0), BinPower<W>(spectrum.o1), BinPower<W>(spectrum.o2),
                       BinPower<W>(spectrum.o3), zero);
    // Twiddle(w2, {r.c3, +0}): every twiddle of this row has a positive cosine and sine (its
    // angles lie between 0 and pi/2), so w2.im * +0 and w2.re * +0 are +0; subtracting +0
    // from w2.re * c3 changes nothing, and adding +0 to w2.im * c3 changes nothing either, as
    // c3 = tr2 - tr3, a difference of sums of values that are never -0, is never -0.
    const typename W::Wide c3 = W::Widen(r.c3);
    StoreBackwardColumns(out, c, {r.o0, zero}, Twiddle(w1, r.c2),
                         {W::Product(w2.re, c3), W::Product(w2.im, c3)}, Twiddle(w3, r.c4));
  }
  StoreBackwardFirstAndLast(out, first, lastColumn);
}

// Backward pass 4 for the values 0 .. 127 only (rows m = 0 and 1), into lags.
void BackwardPass4Lags(const float* __restrict in, float* __restrict lags) {
  for (int32_t k = 0; k < 64; k += 4) {
    const QuadLanes q =
        BackwardFirstColumn<Lanes>({LanesLoad(in + k), LanesLoad(in + 64 + k),
                                    LanesLoad(in + 128 + k), LanesLoad(in + 192 + k)});
    LanesStore(lags + k, q.v0);
    LanesStore(lags + 64 + k, q.v1);
  }
}

template <typename W>
void AutocorrelationPasses(const int16_t* window, float* lags, float* work) {
  const float* twiddles = TwiddleTable;
  float* a = work;
  float* b = work + kN;
  ForwardPass1FromWindow(window, a);
  ForwardPass2<W>(a, b, twiddles);
  ForwardPass3<W>(b, a, twiddles);
  PowerSpectrumPass<W>(a, b);
  BackwardPass2<W>(b, a, twiddles);
  BackwardPass3<W>(a, b, twiddles);
  BackwardPass4Lags(b, lags);
}

template <typename W>
void ForwardPasses(float* data, float* work, const float* twiddles) {
  ForwardPass1(data, work);
  ForwardPass2<W>(work, data, twiddles);
  alignas(16) float columns[kN];
  ForwardPass3<W>(data, columns, twiddles);
  ColumnsToRows(columns, work);
  ForwardPass4<W>(work, data, twiddles);
}

template <typename W>
void BackwardPasses(float* data, float* work, const float* twiddles) {
  BackwardPass1<W>(data, work, twiddles);
  BackwardPass2<W>(work, data, twiddles);
  BackwardPass3<W>(data, work, twiddles);
  BackwardPass4(work, data);
}

constexpr Transform256Form kBaselineForm = {
    TESSEL_SSE2 ? "SSE2" : "plain C++", ForwardPasses<BaselineWide>, BackwardPasses<BaselineWide>,
    AutocorrelationPasses<BaselineWide>};

#if TESSEL_AVX2

// Everything these call is inlined into them, and so compiled for AVX2.
TESSEL_TARGET_AVX2 __attribute__((flatten)) void ForwardAvx2(float* data, float* work,
                                                             const float* twiddles) {
  ForwardPasses<Avx2Wide>(data, work, twiddles);
}

TESSEL_TARGET_AVX2 __attribute__((flatten)) void BackwardAvx2(float* data, float* work,
                                                              const float* twiddles) {
  BackwardPasses<Avx2Wide>(data, work, twiddles);
}

TESSEL_TARGET_AVX2 __attribute__((flatten)) void AutocorrelationAvx2(const int16_t* window,
                                                                     float* lags, float* work) {
  AutocorrelationPasses<Avx2Wide>(window, lags, work);
}

const Transform256Form kForms[] = {kBaselineForm,
                                   {"AVX2", ForwardAvx2, BackwardAvx2, AutocorrelationAvx2}};

// The AVX2 forms where the processor and the system both have AVX2: the check includes that the
// system saves the AVX registers.
size_t RunnableFormCount() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") != 0 ? 2 : 1;
}

#else

const Transform256Form kForms[] = {kBaselineForm};

size_t RunnableFormCount() { return 1; }

#endif

const Transform256Form& ChosenForm() {
  static const Transform256Form& chosen = RunnableTransformForms().back();
  return chosen;
}

}  // namespace

std::span<const Transform256Form> RunnableTransformForms() {
  static const size_t count = RunnableFormCount();
  return {kForms, count};
}

void Forward256(float* data, float* work, const float* twiddles) {
  ChosenForm().forward(data, work, twiddles);
}

void Backward256(float* data, float* work, const float* twiddles) {
  ChosenForm().backward(data, work, twiddles);
}

void Autocorrelation256(const int16_t* window, float* lags, float* work) {
  ChosenForm().autocorrelation(window, lags, work);
}
