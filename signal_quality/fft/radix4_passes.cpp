#include "fft/radix4_passes.h"

#include "fft/radix4_butterflies.h"

// The statements themselves are in radix4_butterflies.h. The passes run them in FFTPACK's
// order for any row length ido; a row length of 64 (the long-row pass of the 256-point
// transform) is expanded on its own so that the compiler sees constant trip counts, and its
// twiddled columns go through small contiguous arrays, which vectorises across the columns.
// Vector lanes evaluate exactly the scalar statements, so no result changes. The input and
// output arrays of a pass never overlap (data and work array), which __restrict states.

namespace {

// Columns per round of the column arrays; rows longer than 2 * kColumnBlock + 2 take several.
constexpr int32_t kColumnBlock = 32;
// Rows with at least this many complex columns go through the column arrays.
constexpr int32_t kColumnArraysFrom = 8;

struct AnyShape {
    int32_t length;
    int32_t ido() const { return length; }
};

template <int32_t kIdo>
struct FixedShape {
    static constexpr int32_t ido() { return kIdo; }
};

// The four rows of one sequence k: inputs x0..x3, outputs o0..o3, twiddle rows wa1..wa3.
struct Sequence {
    const float* x0;
    const float* x1;
    const float* x2;
    const float* x3;
    float* o0;
    float* o1;
    float* o2;
    float* o3;
    const float* wa1;
    const float* wa2;
    const float* wa3;
};

// The twiddled columns first + 1 .. first + count (count <= kColumnBlock) of one forward
// sequence, one kind of statement at a time over contiguous arrays, real and imaginary parts
// apart. Rows 1 and 3 of the output run backwards from the far end; they are collected
// ascending and stored in a loop of their own. Inlined, so that the column count is a
// constant.
[[gnu::always_inline]] inline void ForwardColumns(const Sequence& s, int32_t ido, int32_t first,
                                                  int32_t count) {
    const int32_t start = 2 * first;  // offset of the block's first column pair
    float cr[3][kColumnBlock];
    float ci[3][kColumnBlock];
    const float* rows[3] = {s.x1 + start, s.x2 + start, s.x3 + start};
    const float* twiddles[3] = {s.wa1 + start, s.wa2 + start, s.wa3 + start};
    for (int32_t m = 0; m < 3; ++m) {
        const float* __restrict x = rows[m];
        const float* __restrict w = twiddles[m];
        for (int32_t c = 0; c < count; ++c) {
            const Complex p =
                ConjugateTwiddle({w[2 * c], w[2 * c + 1]}, {x[2 * c + 1], x[2 * c + 2]});
            cr[m][c] = p.re;
            ci[m][c] = p.im;
        }
    }
    float mirror1[2 * kColumnBlock];
    float mirror3[2 * kColumnBlock];
    const float* __restrict x0 = s.x0 + start;
    float* __restrict o0 = s.o0 + start;
    float* __restrict o2 = s.o2 + start;
    for (int32_t c = 0; c < count; ++c) {
        const ForwardOutputs r =
            ForwardButterfly({x0[2 * c + 1], x0[2 * c + 2]}, {cr[0][c], ci[0][c]},
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
    // The mirror of the block's last column lies lowest, at base.
    const int32_t base = ido - 2 * (first + count) - 1;
    float* __restrict o1 = s.o1 + base;
    float* __restrict o3 = s.o3 + base;
    for (int32_t j = 0; j < count; ++j) {
        const int32_t c = count - 1 - j;
        o1[2 * j] = mirror1[2 * c];
        o1[2 * j + 1] = mirror1[2 * c + 1];
        o3[2 * j] = mirror3[2 * c];
        o3[2 * j + 1] = mirror3[2 * c + 1];
    }
}

// The same for a backward sequence. Rows 1 and 3 of the input are read backwards from the far
// end; they are copied ascending first.
[[gnu::always_inline]] inline void BackwardColumns(const Sequence& s, int32_t ido, int32_t first,
                                                   int32_t count) {
    const int32_t start = 2 * first;
    // The mirror of the block's last column lies lowest, at base.
    const int32_t base = ido - 2 * (first + count) - 1;
    float mirror1[2 * kColumnBlock];
    float mirror3[2 * kColumnBlock];
    const float* __restrict x1 = s.x1 + base;
    const float* __restrict x3 = s.x3 + base;
    for (int32_t c = 0; c < count; ++c) {
        const int32_t j = count - 1 - c;
        mirror1[2 * c] = x1[2 * j];
        mirror1[2 * c + 1] = x1[2 * j + 1];
        mirror3[2 * c] = x3[2 * j];
        mirror3[2 * c + 1] = x3[2 * j + 1];
    }
    float cr[3][kColumnBlock];
    float ci[3][kColumnBlock];
    const float* __restrict x0 = s.x0 + start;
    const float* __restrict x2 = s.x2 + start;
    float* __restrict o0 = s.o0 + start;
    for (int32_t c = 0; c < count; ++c) {
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
    float* rows[3] = {s.o1 + start, s.o2 + start, s.o3 + start};
    const float* twiddles[3] = {s.wa1 + start, s.wa2 + start, s.wa3 + start};
    for (int32_t m = 0; m < 3; ++m) {
        float* __restrict o = rows[m];
        const float* __restrict w = twiddles[m];
        for (int32_t c = 0; c < count; ++c) {
            const Complex p = Twiddle({w[2 * c], w[2 * c + 1]}, {cr[m][c], ci[m][c]});
            o[2 * c + 1] = p.re;
            o[2 * c + 2] = p.im;
        }
    }
}

// Reads (i, k, m) at cc[i + ido * (k + l1 * m)], writes (i, m, k) at ch[i + ido * (m + 4 * k)].
template <typename Shape>
void ForwardPass(Shape shape, int32_t l1, const float* __restrict cc, float* __restrict ch,
                 const float* wa1, const float* wa2, const float* wa3) {
    const int32_t ido = shape.ido();
    const int32_t last = ido - 1;
    const int32_t row = ido * l1;  // distance between the input rows m and m + 1
    const int32_t columns = (ido - 1) / 2;
    for (int32_t k = 0; k < l1; ++k) {
        const float* x0 = cc + ido * k;
        const float* x1 = x0 + row;
        const float* x2 = x1 + row;
        const float* x3 = x2 + row;
        float* o0 = ch + 4 * ido * k;
        float* o1 = o0 + ido;
        float* o2 = o1 + ido;
        float* o3 = o2 + ido;
        const Quad first = ForwardFirstColumn({x0[0], x1[0], x2[0], x3[0]});
        o0[0] = first.v0;
        o1[last] = first.v1;
        o2[0] = first.v2;
        o3[last] = first.v3;
        if (ido < 2) continue;

        if (columns >= kColumnArraysFrom) {
            const Sequence s = {x0, x1, x2, x3, o0, o1, o2, o3, wa1, wa2, wa3};
            for (int32_t block = 0; block < columns; block += kColumnBlock) {
                const int32_t rest = columns - block;
                ForwardColumns(s, ido, block, rest < kColumnBlock ? rest : kColumnBlock);
            }
        } else {
            for (int32_t i = 2; i < ido; i += 2) {
                const int32_t ic = ido - i;
                // Multiplication by the conjugate twiddle of rows 1, 2, 3.
                const ForwardOutputs r = ForwardButterfly(
                    {x0[i - 1], x0[i]},
                    ConjugateTwiddle({wa1[i - 2], wa1[i - 1]}, {x1[i - 1], x1[i]}),
                    ConjugateTwiddle({wa2[i - 2], wa2[i - 1]}, {x2[i - 1], x2[i]}),
                    ConjugateTwiddle({wa3[i - 2], wa3[i - 1]}, {x3[i - 1], x3[i]}));
                o0[i - 1] = r.o0.re;
                o0[i] = r.o0.im;
                o1[ic - 1] = r.o1.re;
                o1[ic] = r.o1.im;
                o2[i - 1] = r.o2.re;
                o2[i] = r.o2.im;
                o3[ic - 1] = r.o3.re;
                o3[ic] = r.o3.im;
            }
        }
        if (ido % 2 == 1) continue;

        const Quad lastColumn = ForwardLastColumn({x0[last], x1[last], x2[last], x3[last]});
        o0[last] = lastColumn.v0;
        o1[0] = lastColumn.v1;
        o2[last] = lastColumn.v2;
        o3[0] = lastColumn.v3;
    }
}

// Reads (i, m, k) at cc[i + ido * (m + 4 * k)], writes (i, k, m) at ch[i + ido * (k + l1 * m)].
template <typename Shape>
void BackwardPass(Shape shape, int32_t l1, const float* __restrict cc, float* __restrict ch,
                  const float* wa1, const float* wa2, const float* wa3) {
    const int32_t ido = shape.ido();
    const int32_t last = ido - 1;
    const int32_t row = ido * l1;  // distance between the output rows m and m + 1
    const int32_t columns = (ido - 1) / 2;
    for (int32_t k = 0; k < l1; ++k) {
        const float* x0 = cc + 4 * ido * k;
        const float* x1 = x0 + ido;
        const float* x2 = x1 + ido;
        const float* x3 = x2 + ido;
        float* o0 = ch + ido * k;
        float* o1 = o0 + row;
        float* o2 = o1 + row;
        float* o3 = o2 + row;
        const Quad first = BackwardFirstColumn({x0[0], x1[last], x2[0], x3[last]});
        o0[0] = first.v0;
        o1[0] = first.v1;
        o2[0] = first.v2;
        o3[0] = first.v3;
        if (ido < 2) continue;

        if (columns >= kColumnArraysFrom) {
            const Sequence s = {x0, x1, x2, x3, o0, o1, o2, o3, wa1, wa2, wa3};
            for (int32_t block = 0; block < columns; block += kColumnBlock) {
                const int32_t rest = columns - block;
                BackwardColumns(s, ido, block, rest < kColumnBlock ? rest : kColumnBlock);
            }
        } else {
            for (int32_t i = 2; i < ido; i += 2) {
                const int32_t ic = ido - i;
                const BackwardOutputs r =
                    BackwardButterfly({x0[i - 1], x0[i]}, {x1[ic - 1], x1[ic]}, {x2[i - 1], x2[i]},
                                      {x3[ic - 1], x3[ic]});
                // Multiplication by the twiddle of rows 1, 2, 3.
                const Complex p1 = Twiddle({wa1[i - 2], wa1[i - 1]}, r.c2);
                const Complex p2 = Twiddle({wa2[i - 2], wa2[i - 1]}, r.c3);
                const Complex p3 = Twiddle({wa3[i - 2], wa3[i - 1]}, r.c4);
                o0[i - 1] = r.o0.re;
                o0[i] = r.o0.im;
                o1[i - 1] = p1.re;
                o1[i] = p1.im;
                o2[i - 1] = p2.re;
                o2[i] = p2.im;
                o3[i - 1] = p3.re;
                o3[i] = p3.im;
            }
        }
        if (ido % 2 == 1) continue;

        const Quad lastColumn = BackwardLastColumn({x0[last], x1[0], x2[last], x3[0]});
        o0[last] = lastColumn.v0;
        o1[last] = lastColumn.v1;
        o2[last] = lastColumn.v2;
        o3[last] = lastColumn.v3;
    }
}

}  // namespace

// The 256-point transform runs its short-row passes itself (real_fft_256.cpp); its long-row
// pass and every other length come here.
void ForwardRadix4(int32_t ido, int32_t l1, const float* cc, float* ch, const float* wa1,
                   const float* wa2, const float* wa3) {
    if (ido == 64) return ForwardPass(FixedShape<64>{}, l1, cc, ch, wa1, wa2, wa3);
    ForwardPass(AnyShape{ido}, l1, cc, ch, wa1, wa2, wa3);
}

void BackwardRadix4(int32_t ido, int32_t l1, const float* cc, float* ch, const float* wa1,
                    const float* wa2, const float* wa3) {
    if (ido == 64) return BackwardPass(FixedShape<64>{}, l1, cc, ch, wa1, wa2, wa3);
    BackwardPass(AnyShape{ido}, l1, cc, ch, wa1, wa2, wa3);
}
