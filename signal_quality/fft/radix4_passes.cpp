#include "fft/radix4_passes.h"

// Each statement is evaluated in double and rounded once where it is stored. For a sum of two
// floats that is plain float arithmetic; for the twiddle products and the sqrt(2) columns it
// is not, and the expression grouping below is the one the results depend on.
//
// Speed: the passes are templates over the row length ido, expanded for each shape of the
// 256-point schedule so that the compiler sees constant strides and trip counts. Short rows
// (ido = 1, 4) vectorise across the sequences k as they stand; long rows take their twiddled
// columns through small contiguous arrays, which vectorises across the columns. Vector lanes
// evaluate exactly the scalar statements in the same order, so no result changes. The input
// and output arrays of a pass never overlap (data and work array), which __restrict states.

namespace {

// Both products of two floats are exact in double: one rounding of the sum to double, one
// to float.
inline float SumOfProducts(float a, float x, float b, float y) {
    return float(double(a) * x + double(b) * y);
}

inline float DifferenceOfProducts(float a, float x, float b, float y) {
    return float(double(a) * x - double(b) * y);
}

const float kHalfSqrt2 = 0.70710677f;
const float kSqrt2 = 1.4142135f;

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

// The statements of the forward column loop (ForwardPass) for columns first + 1 .. first +
// count (count <= kColumnBlock), one kind of statement at a time over contiguous arrays. Rows
// 1 and 3 of the output run backwards from the far end; they are collected ascending and
// stored in a loop of their own. Inlined, so that the column count is a constant.
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
            cr[m][c] = SumOfProducts(w[2 * c], x[2 * c + 1], w[2 * c + 1], x[2 * c + 2]);
            ci[m][c] = DifferenceOfProducts(w[2 * c], x[2 * c + 2], w[2 * c + 1], x[2 * c + 1]);
        }
    }
    float mirror1[2 * kColumnBlock];
    float mirror3[2 * kColumnBlock];
    const float* __restrict x0 = s.x0 + start;
    float* __restrict o0 = s.o0 + start;
    float* __restrict o2 = s.o2 + start;
    for (int32_t c = 0; c < count; ++c) {
        const float tr1 = cr[0][c] + cr[2][c];
        const float tr4 = cr[2][c] - cr[0][c];
        const float ti1 = ci[0][c] + ci[2][c];
        const float ti4 = ci[0][c] - ci[2][c];
        const float ti2 = x0[2 * c + 2] + ci[1][c];
        const float ti3 = x0[2 * c + 2] - ci[1][c];
        const float tr2 = x0[2 * c + 1] + cr[1][c];
        const float tr3 = x0[2 * c + 1] - cr[1][c];
        o0[2 * c + 1] = tr1 + tr2;
        o0[2 * c + 2] = ti1 + ti2;
        o2[2 * c + 1] = ti4 + tr3;
        o2[2 * c + 2] = tr4 + ti3;
        mirror3[2 * c] = tr2 - tr1;
        mirror3[2 * c + 1] = ti1 - ti2;
        mirror1[2 * c] = tr3 - ti4;
        mirror1[2 * c + 1] = tr4 - ti3;
    }
    // The mirror of the block's last column lies lowest, at base.
    const int32_t base = ido - 2 * (first + count) - 1;
    float* __restrict o1 = s.o1 + base;
    float* __restrict o3 = s.o3 + base;
    for (int32_t j = 0; j < count; ++j) {
        const int32_t c = count - 1 - j;
        o3[2 * j] = mirror3[2 * c];
        o3[2 * j + 1] = mirror3[2 * c + 1];
        o1[2 * j] = mirror1[2 * c];
        o1[2 * j + 1] = mirror1[2 * c + 1];
    }
}

// The statements of the backward column loop (BackwardPass) for columns first + 1 .. first +
// count over contiguous arrays. Rows 1 and 3 of the input are read backwards from the far
// end; they are copied ascending first. Inlined, so that the column count is a constant.
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
        const float ti1 = x0[2 * c + 2] + mirror3[2 * c + 1];
        const float ti2 = x0[2 * c + 2] - mirror3[2 * c + 1];
        const float ti3 = x2[2 * c + 2] - mirror1[2 * c + 1];
        const float tr4 = x2[2 * c + 2] + mirror1[2 * c + 1];
        const float tr1 = x0[2 * c + 1] - mirror3[2 * c];
        const float tr2 = x0[2 * c + 1] + mirror3[2 * c];
        const float ti4 = x2[2 * c + 1] - mirror1[2 * c];
        const float tr3 = x2[2 * c + 1] + mirror1[2 * c];
        o0[2 * c + 1] = tr2 + tr3;
        cr[1][c] = tr2 - tr3;
        o0[2 * c + 2] = ti2 + ti3;
        ci[1][c] = ti2 - ti3;
        cr[0][c] = tr1 - tr4;
        cr[2][c] = tr1 + tr4;
        ci[0][c] = ti1 + ti4;
        ci[2][c] = ti1 - ti4;
    }
    float* rows[3] = {s.o1 + start, s.o2 + start, s.o3 + start};
    const float* twiddles[3] = {s.wa1 + start, s.wa2 + start, s.wa3 + start};
    for (int32_t m = 0; m < 3; ++m) {
        float* __restrict o = rows[m];
        const float* __restrict w = twiddles[m];
        for (int32_t c = 0; c < count; ++c) {
            o[2 * c + 1] = DifferenceOfProducts(w[2 * c], cr[m][c], w[2 * c + 1], ci[m][c]);
            o[2 * c + 2] = SumOfProducts(w[2 * c], ci[m][c], w[2 * c + 1], cr[m][c]);
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
        {
            const float tr1 = x1[0] + x3[0];
            const float tr2 = x0[0] + x2[0];
            o0[0] = tr1 + tr2;
            o3[last] = tr2 - tr1;
            o1[last] = x0[0] - x2[0];
            o2[0] = x3[0] - x1[0];
        }
        if (ido < 2) continue;

        if (columns >= kColumnArraysFrom) {
            const Sequence s = {x0, x1, x2, x3, o0, o1, o2, o3, wa1, wa2, wa3};
            for (int32_t first = 0; first < columns; first += kColumnBlock) {
                const int32_t rest = columns - first;
                ForwardColumns(s, ido, first, rest < kColumnBlock ? rest : kColumnBlock);
            }
        } else {
            // Short rows vectorise across k.
            for (int32_t i = 2; i < ido; i += 2) {
                const int32_t ic = ido - i;
                // Multiplication by the conjugate twiddle of rows 1, 2, 3.
                const float cr2 = SumOfProducts(wa1[i - 2], x1[i - 1], wa1[i - 1], x1[i]);
                const float ci2 = DifferenceOfProducts(wa1[i - 2], x1[i], wa1[i - 1], x1[i - 1]);
                const float cr3 = SumOfProducts(wa2[i - 2], x2[i - 1], wa2[i - 1], x2[i]);
                const float ci3 = DifferenceOfProducts(wa2[i - 2], x2[i], wa2[i - 1], x2[i - 1]);
                const float cr4 = SumOfProducts(wa3[i - 2], x3[i - 1], wa3[i - 1], x3[i]);
                const float ci4 = DifferenceOfProducts(wa3[i - 2], x3[i], wa3[i - 1], x3[i - 1]);
                const float tr1 = cr2 + cr4;
                const float tr4 = cr4 - cr2;
                const float ti1 = ci2 + ci4;
                const float ti4 = ci2 - ci4;
                const float ti2 = x0[i] + ci3;
                const float ti3 = x0[i] - ci3;
                const float tr2 = x0[i - 1] + cr3;
                const float tr3 = x0[i - 1] - cr3;
                o0[i - 1] = tr1 + tr2;
                o3[ic - 1] = tr2 - tr1;
                o0[i] = ti1 + ti2;
                o3[ic] = ti1 - ti2;
                o2[i - 1] = ti4 + tr3;
                o1[ic - 1] = tr3 - ti4;
                o2[i] = tr4 + ti3;
                o1[ic] = tr4 - ti3;
            }
        }
        if (ido % 2 == 1) continue;

        // The sum and the difference stay in double up to the product.
        const float ti1 = float(-double(kHalfSqrt2) * (double(x1[last]) + x3[last]));
        const float tr1 = float(double(kHalfSqrt2) * (double(x1[last]) - x3[last]));
        o0[last] = tr1 + x0[last];
        o2[last] = x0[last] - tr1;
        o1[0] = ti1 - x2[last];
        o3[0] = ti1 + x2[last];
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
        {
            const float tr1 = x0[0] - x3[last];
            const float tr2 = x0[0] + x3[last];
            const float tr3 = x1[last] + x1[last];
            const float tr4 = x2[0] + x2[0];
            o0[0] = tr2 + tr3;
            o1[0] = tr1 - tr4;
            o2[0] = tr2 - tr3;
            o3[0] = tr1 + tr4;
        }
        if (ido < 2) continue;

        if (columns >= kColumnArraysFrom - 1) {
            const Sequence s = {x0, x1, x2, x3, o0, o1, o2, o3, wa1, wa2, wa3};
            for (int32_t first = 0; first < columns; first += kColumnBlock) {
                const int32_t rest = columns - first;
                BackwardColumns(s, ido, first, rest < kColumnBlock ? rest : kColumnBlock);
            }
        } else {
            // Short rows vectorise across k.
            for (int32_t i = 2; i < ido; i += 2) {
                const int32_t ic = ido - i;
                const float ti1 = x0[i] + x3[ic];
                const float ti2 = x0[i] - x3[ic];
                const float ti3 = x2[i] - x1[ic];
                const float tr4 = x2[i] + x1[ic];
                const float tr1 = x0[i - 1] - x3[ic - 1];
                const float tr2 = x0[i - 1] + x3[ic - 1];
                const float ti4 = x2[i - 1] - x1[ic - 1];
                const float tr3 = x2[i - 1] + x1[ic - 1];
                o0[i - 1] = tr2 + tr3;
                const float cr3 = tr2 - tr3;
                o0[i] = ti2 + ti3;
                const float ci3 = ti2 - ti3;
                const float cr2 = tr1 - tr4;
                const float cr4 = tr1 + tr4;
                const float ci2 = ti1 + ti4;
                const float ci4 = ti1 - ti4;
                // Multiplication by the twiddle of rows 1, 2, 3.
                o1[i - 1] = DifferenceOfProducts(wa1[i - 2], cr2, wa1[i - 1], ci2);
                o1[i] = SumOfProducts(wa1[i - 2], ci2, wa1[i - 1], cr2);
                o2[i - 1] = DifferenceOfProducts(wa2[i - 2], cr3, wa2[i - 1], ci3);
                o2[i] = SumOfProducts(wa2[i - 2], ci3, wa2[i - 1], cr3);
                o3[i - 1] = DifferenceOfProducts(wa3[i - 2], cr4, wa3[i - 1], ci4);
                o3[i] = SumOfProducts(wa3[i - 2], ci4, wa3[i - 1], cr4);
            }
        }
        if (ido % 2 == 1) continue;

        const float ti1 = x1[0] + x3[0];
        const float ti2 = x3[0] - x1[0];
        const float tr1 = x0[last] - x2[last];
        const float tr2 = x0[last] + x2[last];
        o0[last] = tr2 + tr2;
        // The sum and the difference stay in double up to the product.
        o1[last] = float(double(kSqrt2) * (double(tr1) - ti1));
        o2[last] = ti2 + ti2;
        o3[last] = float(-double(kSqrt2) * (double(tr1) + ti1));
    }
}

}  // namespace

void ForwardRadix4(int32_t ido, int32_t l1, const float* cc, float* ch, const float* wa1,
                   const float* wa2, const float* wa3) {
    switch (ido) {
        case 1: return ForwardPass(FixedShape<1>{}, l1, cc, ch, wa1, wa2, wa3);
        case 4: return ForwardPass(FixedShape<4>{}, l1, cc, ch, wa1, wa2, wa3);
        case 16: return ForwardPass(FixedShape<16>{}, l1, cc, ch, wa1, wa2, wa3);
        case 64: return ForwardPass(FixedShape<64>{}, l1, cc, ch, wa1, wa2, wa3);
        default: return ForwardPass(AnyShape{ido}, l1, cc, ch, wa1, wa2, wa3);
    }
}

void BackwardRadix4(int32_t ido, int32_t l1, const float* cc, float* ch, const float* wa1,
                    const float* wa2, const float* wa3) {
    switch (ido) {
        case 1: return BackwardPass(FixedShape<1>{}, l1, cc, ch, wa1, wa2, wa3);
        case 4: return BackwardPass(FixedShape<4>{}, l1, cc, ch, wa1, wa2, wa3);
        case 16: return BackwardPass(FixedShape<16>{}, l1, cc, ch, wa1, wa2, wa3);
        case 64: return BackwardPass(FixedShape<64>{}, l1, cc, ch, wa1, wa2, wa3);
        default: return BackwardPass(AnyShape{ido}, l1, cc, ch, wa1, wa2, wa3);
    }
}
