#include "fft/radix4_passes.h"

// Each statement is evaluated in double and rounded once where it is stored. For a sum of two
// floats that is plain float arithmetic; for the twiddle products and the sqrt(2) columns it
// is not, and the expression grouping below is the one the results depend on.

namespace {

// Both products of two floats are exact in double: one rounding of the sum to double, one
// to float.
float SumOfProducts(float a, float x, float b, float y) {
    return float(double(a) * x + double(b) * y);
}

float DifferenceOfProducts(float a, float x, float b, float y) {
    return float(double(a) * x - double(b) * y);
}

const float kHalfSqrt2 = 0.70710677f;
const float kSqrt2 = 1.4142135f;

}  // namespace

void ForwardRadix4(int32_t ido, int32_t l1, const float* cc, float* ch, const float* wa1,
                   const float* wa2, const float* wa3) {
    auto in = [=](int32_t i, int32_t k, int32_t m) { return cc[i + ido * (k + l1 * m)]; };
    auto out = [=](int32_t i, int32_t m, int32_t k) -> float& { return ch[i + ido * (m + 4 * k)]; };
    const int32_t last = ido - 1;

    for (int32_t k = 0; k < l1; ++k) {
        const float tr1 = in(0, k, 1) + in(0, k, 3);
        const float tr2 = in(0, k, 0) + in(0, k, 2);
        out(0, 0, k) = tr1 + tr2;
        out(last, 3, k) = tr2 - tr1;
        out(last, 1, k) = in(0, k, 0) - in(0, k, 2);
        out(0, 2, k) = in(0, k, 3) - in(0, k, 1);
    }
    if (ido < 2) return;

    if (ido > 2) {
        for (int32_t k = 0; k < l1; ++k) {
            for (int32_t i = 2; i < ido; i += 2) {
                const int32_t ic = ido - i;
                // Multiplication by the conjugate twiddle of rows 1, 2, 3.
                const float cr2 = SumOfProducts(wa1[i - 2], in(i - 1, k, 1), wa1[i - 1], in(i, k, 1));
                const float ci2 = DifferenceOfProducts(wa1[i - 2], in(i, k, 1), wa1[i - 1], in(i - 1, k, 1));
                const float cr3 = SumOfProducts(wa2[i - 2], in(i - 1, k, 2), wa2[i - 1], in(i, k, 2));
                const float ci3 = DifferenceOfProducts(wa2[i - 2], in(i, k, 2), wa2[i - 1], in(i - 1, k, 2));
                const float cr4 = SumOfProducts(wa3[i - 2], in(i - 1, k, 3), wa3[i - 1], in(i, k, 3));
                const float ci4 = DifferenceOfProducts(wa3[i - 2], in(i, k, 3), wa3[i - 1], in(i - 1, k, 3));
                const float tr1 = cr2 + cr4;
                const float tr4 = cr4 - cr2;
                const float ti1 = ci2 + ci4;
                const float ti4 = ci2 - ci4;
                const float ti2 = in(i, k, 0) + ci3;
                const float ti3 = in(i, k, 0) - ci3;
                const float tr2 = in(i - 1, k, 0) + cr3;
                const float tr3 = in(i - 1, k, 0) - cr3;
                out(i - 1, 0, k) = tr1 + tr2;
                out(ic - 1, 3, k) = tr2 - tr1;
                out(i, 0, k) = ti1 + ti2;
                out(ic, 3, k) = ti1 - ti2;
                out(i - 1, 2, k) = ti4 + tr3;
                out(ic - 1, 1, k) = tr3 - ti4;
                out(i, 2, k) = tr4 + ti3;
                out(ic, 1, k) = tr4 - ti3;
            }
        }
        if (ido % 2 == 1) return;
    }

    for (int32_t k = 0; k < l1; ++k) {
        // The sum and the difference stay in double up to the product.
        const float ti1 = float(-double(kHalfSqrt2) * (double(in(last, k, 1)) + in(last, k, 3)));
        const float tr1 = float(double(kHalfSqrt2) * (double(in(last, k, 1)) - in(last, k, 3)));
        out(last, 0, k) = tr1 + in(last, k, 0);
        out(last, 2, k) = in(last, k, 0) - tr1;
        out(0, 1, k) = ti1 - in(last, k, 2);
        out(0, 3, k) = ti1 + in(last, k, 2);
    }
}

void BackwardRadix4(int32_t ido, int32_t l1, const float* cc, float* ch, const float* wa1,
                    const float* wa2, const float* wa3) {
    auto in = [=](int32_t i, int32_t m, int32_t k) { return cc[i + ido * (m + 4 * k)]; };
    auto out = [=](int32_t i, int32_t k, int32_t m) -> float& { return ch[i + ido * (k + l1 * m)]; };
    const int32_t last = ido - 1;

    for (int32_t k = 0; k < l1; ++k) {
        const float tr1 = in(0, 0, k) - in(last, 3, k);
        const float tr2 = in(0, 0, k) + in(last, 3, k);
        const float tr3 = in(last, 1, k) + in(last, 1, k);
        const float tr4 = in(0, 2, k) + in(0, 2, k);
        out(0, k, 0) = tr2 + tr3;
        out(0, k, 1) = tr1 - tr4;
        out(0, k, 2) = tr2 - tr3;
        out(0, k, 3) = tr1 + tr4;
    }
    if (ido < 2) return;

    if (ido > 2) {
        for (int32_t k = 0; k < l1; ++k) {
            for (int32_t i = 2; i < ido; i += 2) {
                const int32_t ic = ido - i;
                const float ti1 = in(i, 0, k) + in(ic, 3, k);
                const float ti2 = in(i, 0, k) - in(ic, 3, k);
                const float ti3 = in(i, 2, k) - in(ic, 1, k);
                const float tr4 = in(i, 2, k) + in(ic, 1, k);
                const float tr1 = in(i - 1, 0, k) - in(ic - 1, 3, k);
                const float tr2 = in(i - 1, 0, k) + in(ic - 1, 3, k);
                const float ti4 = in(i - 1, 2, k) - in(ic - 1, 1, k);
                const float tr3 = in(i - 1, 2, k) + in(ic - 1, 1, k);
                out(i - 1, k, 0) = tr2 + tr3;
                const float cr3 = tr2 - tr3;
                out(i, k, 0) = ti2 + ti3;
                const float ci3 = ti2 - ti3;
                const float cr2 = tr1 - tr4;
                const float cr4 = tr1 + tr4;
                const float ci2 = ti1 + ti4;
                const float ci4 = ti1 - ti4;
                // Multiplication by the twiddle of rows 1, 2, 3.
                out(i - 1, k, 1) = DifferenceOfProducts(wa1[i - 2], cr2, wa1[i - 1], ci2);
                out(i, k, 1) = SumOfProducts(wa1[i - 2], ci2, wa1[i - 1], cr2);
                out(i - 1, k, 2) = DifferenceOfProducts(wa2[i - 2], cr3, wa2[i - 1], ci3);
                out(i, k, 2) = SumOfProducts(wa2[i - 2], ci3, wa2[i - 1], cr3);
                out(i - 1, k, 3) = DifferenceOfProducts(wa3[i - 2], cr4, wa3[i - 1], ci4);
                out(i, k, 3) = SumOfProducts(wa3[i - 2], ci4, wa3[i - 1], cr4);
            }
        }
        if (ido % 2 == 1) return;
    }

    for (int32_t k = 0; k < l1; ++k) {
        const float ti1 = in(0, 1, k) + in(0, 3, k);
        const float ti2 = in(0, 3, k) - in(0, 1, k);
        const float tr1 = in(last, 0, k) - in(last, 2, k);
        const float tr2 = in(last, 0, k) + in(last, 2, k);
        out(last, k, 0) = tr2 + tr2;
        // The sum and the difference stay in double up to the product.
        out(last, k, 1) = float(double(kSqrt2) * (double(tr1) - ti1));
        out(last, k, 2) = ti2 + ti2;
        out(last, k, 3) = float(-double(kSqrt2) * (double(tr1) + ti1));
    }
}
