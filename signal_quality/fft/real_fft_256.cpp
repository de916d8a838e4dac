#include "fft/real_fft_256.h"

#include <cstdint>

#include "fft/radix4_butterflies.h"

// In FFTPACK's order a pass reads (i, k, m) and writes (i, m, k), so the next pass finds the
// values of its sequences k apart by ido floats. Here each of the short-row passes (ido = 1,
// 4, 16) writes its results straight into the order the next pass reads best, with the
// sequences innermost ("k-major" below), so that the same statement for neighbouring
// sequences touches neighbouring floats. The long-row pass (ido = 64, one sequence) keeps
// FFTPACK's order, whose columns are contiguous already.
//
// Index conventions, for a pass with row length ido and l1 sequences:
//   forward input (i, k, m) is FFTPACK's cc[i + ido * (k + l1 * m)], output (i, m, k) its
//   ch[i + ido * (m + 4 * k)]; backward the other way round. Rows m = 0..3.

namespace {

constexpr int32_t kN = 256;
// Twiddle rows of each pass (TwiddleTable's layout): ido = 64 at 0, 16 at 192, 4 at 240.
constexpr int32_t kTwiddles64 = 0;
constexpr int32_t kTwiddles16 = 192;
constexpr int32_t kTwiddles4 = 240;
// The long-row pass: row length, and its twiddled columns i = 2, 4, .., 62.
constexpr int32_t kLongRow = 64;
constexpr int32_t kLongRowColumns = (kLongRow - 1) / 2;

Complex TwiddleAt(const float* row, int32_t i) { return {row[i - 2], row[i - 1]}; }

// Forward pass 1 (ido = 1, l1 = 64): data in FFTPACK order; out, the input (i, k, m) of pass 2
// (ido = 4, l1 = 16) k-major: out[64 m + 16 i + k].
void ForwardPass1(const float* __restrict data, float* __restrict out) {
  // Output (0, m, k) of this pass is input (i = m, k % 16, k / 16) of the next.
  for (int32_t a = 0; a < 4; ++a) {
    const float* x = data + 16 * a;
    float* o = out + 64 * a;
    for (int32_t b = 0; b < 16; ++b) {
      const Quad q = ForwardFirstColumn({x[b], x[b + 64], x[b + 128], x[b + 192]});
      o[b] = q.v0;
      o[16 + b] = q.v1;
      o[32 + b] = q.v2;
      o[48 + b] = q.v3;
    }
  }
}

// Forward pass 2 (ido = 4, l1 = 16): in as ForwardPass1 wrote it; out, the input (i, k, m)
// of pass 3 (ido = 16, l1 = 4) k-major: out[64 m + 4 i + k].
void ForwardPass2(const float* __restrict in, float* __restrict out, const float* twiddles) {
  const float* wa = twiddles + kTwiddles4;
  const Complex w1 = TwiddleAt(wa, 2);
  const Complex w2 = TwiddleAt(wa + 4, 2);
  const Complex w3 = TwiddleAt(wa + 8, 2);
  // Output (i, m, k) of this pass is input (i + 4 m, k % 4, k / 4) of the next.
  for (int32_t a = 0; a < 4; ++a) {
    float* o = out + 64 * a;
    for (int32_t b = 0; b < 4; ++b) {
      const int32_t k = 4 * a + b;
      auto x = [&](int32_t i, int32_t m) { return in[64 * m + 16 * i + k]; };
      auto at = [&](int32_t i, int32_t m) -> float& { return o[4 * (i + 4 * m) + b]; };
      const Quad first = ForwardFirstColumn({x(0, 0), x(0, 1), x(0, 2), x(0, 3)});
      at(0, 0) = first.v0;
      at(3, 1) = first.v1;
      at(0, 2) = first.v2;
      at(3, 3) = first.v3;
      // The one twiddled column, i = 2, is its own mirror (ic = 2).
      const ForwardOutputs r = ForwardButterfly(
          {x(1, 0), x(2, 0)}, ConjugateTwiddle(w1, {x(1, 1), x(2, 1)}),
          ConjugateTwiddle(w2, {x(1, 2), x(2, 2)}), ConjugateTwiddle(w3, {x(1, 3), x(2, 3)}));
      at(1, 0) = r.o0.re;
      at(2, 0) = r.o0.im;
      at(1, 1) = r.o1.re;
      at(2, 1) = r.o1.im;
      at(1, 2) = r.o2.re;
      at(2, 2) = r.o2.im;
      at(1, 3) = r.o3.re;
      at(2, 3) = r.o3.im;
      const Quad lastColumn = ForwardLastColumn({x(3, 0), x(3, 1), x(3, 2), x(3, 3)});
      at(3, 0) = lastColumn.v0;
      at(0, 1) = lastColumn.v1;
      at(3, 2) = lastColumn.v2;
      at(0, 3) = lastColumn.v3;
    }
  }
}

// Forward pass 3 (ido = 16, l1 = 4): in as ForwardPass2 wrote it; out in FFTPACK order for
// pass 4, out[i + 16 m + 64 k].
void ForwardPass3(const float* __restrict in, float* __restrict out, const float* twiddles) {
  constexpr int32_t ido = 16;
  constexpr int32_t last = ido - 1;
  const float* wa = twiddles + kTwiddles16;
  // Results k-major first, u[4 (i + 16 m) + k]; one transposing copy puts them in order.
  float u[kN];
  // One round per sequence, the columns unrolled: the rounds vectorise as a whole.
  for (int32_t k = 0; k < 4; ++k) {
    auto x = [&](int32_t i, int32_t m) { return in[64 * m + 4 * i + k]; };
    auto at = [&](int32_t i, int32_t m) -> float& { return u[4 * (i + ido * m) + k]; };
    const Quad first = ForwardFirstColumn({x(0, 0), x(0, 1), x(0, 2), x(0, 3)});
    at(0, 0) = first.v0;
    at(last, 1) = first.v1;
    at(0, 2) = first.v2;
    at(last, 3) = first.v3;
#pragma GCC unroll 8
    for (int32_t i = 2; i < ido; i += 2) {
      const int32_t ic = ido - i;
      const ForwardOutputs r = ForwardButterfly(
          {x(i - 1, 0), x(i, 0)}, ConjugateTwiddle(TwiddleAt(wa, i), {x(i - 1, 1), x(i, 1)}),
          ConjugateTwiddle(TwiddleAt(wa + ido, i), {x(i - 1, 2), x(i, 2)}),
          ConjugateTwiddle(TwiddleAt(wa + 2 * ido, i), {x(i - 1, 3), x(i, 3)}));
      at(i - 1, 0) = r.o0.re;
      at(i, 0) = r.o0.im;
      at(ic - 1, 1) = r.o1.re;
      at(ic, 1) = r.o1.im;
      at(i - 1, 2) = r.o2.re;
      at(i, 2) = r.o2.im;
      at(ic - 1, 3) = r.o3.re;
      at(ic, 3) = r.o3.im;
    }
    const Quad lastColumn = ForwardLastColumn({x(last, 0), x(last, 1), x(last, 2), x(last, 3)});
    at(last, 0) = lastColumn.v0;
    at(0, 1) = lastColumn.v1;
    at(last, 2) = lastColumn.v2;
    at(0, 3) = lastColumn.v3;
  }
  for (int32_t j = 0; j < 64; ++j) {
    for (int32_t k = 0; k < 4; ++k) out[j + 64 * k] = u[4 * j + k];
  }
}

// The rows m = 0..3 of the long-row pass in its input (x) and its output (o).
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

// Forward pass 4 (ido = 64, l1 = 1): in as ForwardPass3 wrote it, row m at in + 64 m; data in
// FFTPACK order, row m at data + 64 m. The twiddled columns go one kind of statement at a
// time over small contiguous arrays, real and imaginary parts apart, which vectorises across
// the columns. Rows 1 and 3 of the output run backwards from the far end; they are collected
// ascending and stored in a loop of their own.
void ForwardPass4(const float* __restrict in, float* __restrict data, const float* twiddles) {
  constexpr int32_t ido = kLongRow;
  constexpr int32_t last = ido - 1;
  const auto [x0, x1, x2, x3, o0, o1, o2, o3] = RowsOf(in, data);
  const Quad first = ForwardFirstColumn({x0[0], x1[0], x2[0], x3[0]});
  o0[0] = first.v0;
  o1[last] = first.v1;
  o2[0] = first.v2;
  o3[last] = first.v3;

  // Column c of the arrays is i = 2 c + 2, the values at i - 1 and i.
  float cr[3][kLongRowColumns];
  float ci[3][kLongRowColumns];
  const float* rows[3] = {x1, x2, x3};
  for (int32_t m = 0; m < 3; ++m) {
    const float* __restrict x = rows[m];
    const float* __restrict w = twiddles + kTwiddles64 + ido * m;
    for (int32_t c = 0; c < kLongRowColumns; ++c) {
      const Complex p = ConjugateTwiddle({w[2 * c], w[2 * c + 1]}, {x[2 * c + 1], x[2 * c + 2]});
      cr[m][c] = p.re;
      ci[m][c] = p.im;
    }
  }
  float mirror1[2 * kLongRowColumns];
  float mirror3[2 * kLongRowColumns];
  for (int32_t c = 0; c < kLongRowColumns; ++c) {
    const ForwardOutputs r = ForwardButterfly({x0[2 * c + 1], x0[2 * c + 2]}, {cr[0][c], ci[0][c]},
                                              {cr[1][c], ci[1][c]}, {cr[2][c], ci[2][c]});
    o0[2 * c + 1] = r.o0.re;
    o0[2 * c + 2] = r.o0.im;
    o2[2 * c + 1] = r.o2.re;
    o2[2 * c + 2] = r.o2.im;
    mirror1[2 * c] = r.o1.re;
    mirror1[2 * c + 1] = r.o1.im;
    mirror3[2 * c] = r.o3.re;
    mirror3[2 * c + 1] = r.o3.im;
  }
  // The mirror of the last column, i = 62, is ic = 2: the values at 1 and 2.
  for (int32_t j = 0; j < kLongRowColumns; ++j) {
    const int32_t c = kLongRowColumns - 1 - j;
    o1[2 * j + 1] = mirror1[2 * c];
    o1[2 * j + 2] = mirror1[2 * c + 1];
    o3[2 * j + 1] = mirror3[2 * c];
    o3[2 * j + 2] = mirror3[2 * c + 1];
  }

  const Quad lastColumn = ForwardLastColumn({x0[last], x1[last], x2[last], x3[last]});
  o0[last] = lastColumn.v0;
  o1[0] = lastColumn.v1;
  o2[last] = lastColumn.v2;
  o3[0] = lastColumn.v3;
}

// Backward pass 1 (ido = 64, l1 = 1): data in FFTPACK order, row m at data + 64 m; out, row m
// at out + 64 m. Arranged as ForwardPass4: rows 1 and 3 of the input are read backwards from
// the far end, so they are copied ascending first.
void BackwardPass1(const float* __restrict data, float* __restrict out, const float* twiddles) {
  constexpr int32_t ido = kLongRow;
  constexpr int32_t last = ido - 1;
  const auto [x0, x1, x2, x3, o0, o1, o2, o3] = RowsOf(data, out);
  const Quad first = BackwardFirstColumn({x0[0], x1[last], x2[0], x3[last]});
  o0[0] = first.v0;
  o1[0] = first.v1;
  o2[0] = first.v2;
  o3[0] = first.v3;

  // Column c of the arrays is i = 2 c + 2; its mirror ic = 62 - 2 c.
  float mirror1[2 * kLongRowColumns];
  float mirror3[2 * kLongRowColumns];
  for (int32_t c = 0; c < kLongRowColumns; ++c) {
    const int32_t j = kLongRowColumns - 1 - c;
    mirror1[2 * c] = x1[2 * j + 1];
    mirror1[2 * c + 1] = x1[2 * j + 2];
    mirror3[2 * c] = x3[2 * j + 1];
    mirror3[2 * c + 1] = x3[2 * j + 2];
  }
  float cr[3][kLongRowColumns];
  float ci[3][kLongRowColumns];
  for (int32_t c = 0; c < kLongRowColumns; ++c) {
    const BackwardOutputs r =
        BackwardButterfly({x0[2 * c + 1], x0[2 * c + 2]}, {mirror1[2 * c], mirror1[2 * c + 1]},
                          {x2[2 * c + 1], x2[2 * c + 2]}, {mirror3[2 * c], mirror3[2 * c + 1]});
    o0[2 * c + 1] = r.o0.re;
    o0[2 * c + 2] = r.o0.im;
    cr[0][c] = r.c2.re;
    ci[0][c] = r.c2.im;
    cr[1][c] = r.c3.re;
    ci[1][c] = r.c3.im;
    cr[2][c] = r.c4.re;
    ci[2][c] = r.c4.im;
  }
  float* rows[3] = {o1, o2, o3};
  for (int32_t m = 0; m < 3; ++m) {
    float* __restrict o = rows[m];
    const float* __restrict w = twiddles + kTwiddles64 + ido * m;
    for (int32_t c = 0; c < kLongRowColumns; ++c) {
      const Complex p = Twiddle({w[2 * c], w[2 * c + 1]}, {cr[m][c], ci[m][c]});
      o[2 * c + 1] = p.re;
      o[2 * c + 2] = p.im;
    }
  }

  const Quad lastColumn = BackwardLastColumn({x0[last], x1[0], x2[last], x3[0]});
  o0[last] = lastColumn.v0;
  o1[last] = lastColumn.v1;
  o2[last] = lastColumn.v2;
  o3[last] = lastColumn.v3;
}

// Backward pass 2 (ido = 16, l1 = 4): in, its input (i, m, k) k-major, in[4 (i + 16 m) + k];
// out, the input (i, m, k) of pass 3 (ido = 4, l1 = 16) k-major: out[16 (i + 4 m) + k].
void BackwardPass2(const float* __restrict in, float* __restrict out, const float* twiddles) {
  constexpr int32_t ido = 16;
  constexpr int32_t last = ido - 1;
  const float* wa = twiddles + kTwiddles16;
  auto x = [&](int32_t i, int32_t m, int32_t k) { return in[4 * (i + ido * m) + k]; };
  // Output (i, k, m) of this pass is input (i % 4, i / 4, k + 4 m) of the next.
  auto at = [&](int32_t i, int32_t k, int32_t m) -> float& { return out[16 * i + 4 * m + k]; };
  for (int32_t k = 0; k < 4; ++k) {
    const Quad q = BackwardFirstColumn({x(0, 0, k), x(last, 1, k), x(0, 2, k), x(last, 3, k)});
    at(0, k, 0) = q.v0;
    at(0, k, 1) = q.v1;
    at(0, k, 2) = q.v2;
    at(0, k, 3) = q.v3;
  }
  // Columns outer and unrolled, sequences inner: this pass runs fastest so (measured).
#pragma GCC unroll 8
  for (int32_t i = 2; i < ido; i += 2) {
    const int32_t ic = ido - i;
    const Complex w1 = TwiddleAt(wa, i);
    const Complex w2 = TwiddleAt(wa + ido, i);
    const Complex w3 = TwiddleAt(wa + 2 * ido, i);
    for (int32_t k = 0; k < 4; ++k) {
      const BackwardOutputs r =
          BackwardButterfly({x(i - 1, 0, k), x(i, 0, k)}, {x(ic - 1, 1, k), x(ic, 1, k)},
                            {x(i - 1, 2, k), x(i, 2, k)}, {x(ic - 1, 3, k), x(ic, 3, k)});
      const Complex o1 = Twiddle(w1, r.c2);
      const Complex o2 = Twiddle(w2, r.c3);
      const Complex o3 = Twiddle(w3, r.c4);
      at(i - 1, k, 0) = r.o0.re;
      at(i, k, 0) = r.o0.im;
      at(i - 1, k, 1) = o1.re;
      at(i, k, 1) = o1.im;
      at(i - 1, k, 2) = o2.re;
      at(i, k, 2) = o2.im;
      at(i - 1, k, 3) = o3.re;
      at(i, k, 3) = o3.im;
    }
  }
  for (int32_t k = 0; k < 4; ++k) {
    const Quad q = BackwardLastColumn({x(last, 0, k), x(0, 1, k), x(last, 2, k), x(0, 3, k)});
    at(last, k, 0) = q.v0;
    at(last, k, 1) = q.v1;
    at(last, k, 2) = q.v2;
    at(last, k, 3) = q.v3;
  }
}

// Backward pass 3 (ido = 4, l1 = 16): in as BackwardPass2 wrote it; out, the input (0, m, k)
// of pass 4 (ido = 1, l1 = 64) k-major: out[64 m + k].
void BackwardPass3(const float* __restrict in, float* __restrict out, const float* twiddles) {
  const float* wa = twiddles + kTwiddles4;
  const Complex w1 = TwiddleAt(wa, 2);
  const Complex w2 = TwiddleAt(wa + 4, 2);
  const Complex w3 = TwiddleAt(wa + 8, 2);
  // Output (i, k, m) of this pass is input (0, i, k + 16 m) of the next.
  for (int32_t k = 0; k < 16; ++k) {
    auto x = [&](int32_t i, int32_t m) { return in[16 * (i + 4 * m) + k]; };
    auto at = [&](int32_t i, int32_t m) -> float& { return out[64 * i + 16 * m + k]; };
    const Quad first = BackwardFirstColumn({x(0, 0), x(3, 1), x(0, 2), x(3, 3)});
    at(0, 0) = first.v0;
    at(0, 1) = first.v1;
    at(0, 2) = first.v2;
    at(0, 3) = first.v3;
    // The one twiddled column, i = 2, is its own mirror (ic = 2).
    const BackwardOutputs r = BackwardButterfly({x(1, 0), x(2, 0)}, {x(1, 1), x(2, 1)},
                                                {x(1, 2), x(2, 2)}, {x(1, 3), x(2, 3)});
    const Complex o1 = Twiddle(w1, r.c2);
    const Complex o2 = Twiddle(w2, r.c3);
    const Complex o3 = Twiddle(w3, r.c4);
    at(1, 0) = r.o0.re;
    at(2, 0) = r.o0.im;
    at(1, 1) = o1.re;
    at(2, 1) = o1.im;
    at(1, 2) = o2.re;
    at(2, 2) = o2.im;
    at(1, 3) = o3.re;
    at(2, 3) = o3.im;
    const Quad lastColumn = BackwardLastColumn({x(3, 0), x(0, 1), x(3, 2), x(0, 3)});
    at(3, 0) = lastColumn.v0;
    at(3, 1) = lastColumn.v1;
    at(3, 2) = lastColumn.v2;
    at(3, 3) = lastColumn.v3;
  }
}

// Backward pass 4 (ido = 1, l1 = 64): in as BackwardPass3 wrote it; data in FFTPACK order,
// data[k + 64 m].
void BackwardPass4(const float* __restrict in, float* __restrict data) {
  for (int32_t k = 0; k < 64; ++k) {
    const Quad q = BackwardFirstColumn({in[k], in[64 + k], in[128 + k], in[192 + k]});
    data[k] = q.v0;
    data[64 + k] = q.v1;
    data[128 + k] = q.v2;
    data[192 + k] = q.v3;
  }
}

}  // namespace

void Forward256(float* data, float* work, const float* twiddles) {
  ForwardPass1(data, work);
  ForwardPass2(work, data, twiddles);
  ForwardPass3(data, work, twiddles);
  ForwardPass4(work, data, twiddles);
}

void Backward256(float* data, float* work, const float* twiddles) {
  // The output (i, 0, m) of pass 1 at u[i + 64 m] is input (i % 16, i / 16, m) of pass 2,
  // which reads it k-major.
  float u[kN];
  BackwardPass1(data, u, twiddles);
  for (int32_t j = 0; j < 64; ++j) {
    for (int32_t m = 0; m < 4; ++m) work[4 * j + m] = u[j + 64 * m];
  }
  BackwardPass2(work, data, twiddles);
  BackwardPass3(data, work, twiddles);
  BackwardPass4(work, data);
}
