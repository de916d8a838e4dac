#include "fft/tests/reference_fft.h"

#include <algorithm>

// Twiddle products and the sqrt(2) columns are evaluated in double and rounded once to float
// where they are stored; every other statement adds or subtracts two floats.

namespace reference_fft {
namespace {

// Reads (i, k, m) at in[i + ido * (k + l1 * m)], writes (i, m, k) at out[i + ido * (m + 4 k)];
// wa1, wa2, wa3 are the twiddle rows m = 1, 2, 3.
void ForwardRadix4(int32_t ido, int32_t l1, const float* in, float* out, const float* wa1,
                   const float* wa2, const float* wa3) {
  auto cc = [&](int32_t i, int32_t k, int32_t m) { return in[i + ido * (k + l1 * m)]; };
  auto ch = [&](int32_t i, int32_t m, int32_t k) -> float& { return out[i + ido * (m + 4 * k)]; };
  const int32_t last = ido - 1;
  for (int32_t k = 0; k < l1; ++k) {
    const float tr1 = cc(0, k, 1) + cc(0, k, 3);
    const float tr2 = cc(0, k, 0) + cc(0, k, 2);
    ch(0, 0, k) = tr1 + tr2;
    ch(last, 3, k) = tr2 - tr1;
    ch(last, 1, k) = cc(0, k, 0) - cc(0, k, 2);
    ch(0, 2, k) = cc(0, k, 3) - cc(0, k, 1);
  }
  if (ido < 2) return;
  for (int32_t k = 0; k < l1; ++k) {
    for (int32_t i = 2; i < ido; i += 2) {
      const int32_t ic = ido - i;
      const float cr2 =
          float(double(wa1[i - 2]) * cc(i - 1, k, 1) + double(wa1[i - 1]) * cc(i, k, 1));
      const float ci2 =
          float(double(wa1[i - 2]) * cc(i, k, 1) - double(wa1[i - 1]) * cc(i - 1, k, 1));
      const float cr3 =
          float(double(wa2[i - 2]) * cc(i - 1, k, 2) + double(wa2[i - 1]) * cc(i, k, 2));
      const float ci3 =
          float(double(wa2[i - 2]) * cc(i, k, 2) - double(wa2[i - 1]) * cc(i - 1, k, 2));
      const float cr4 =
          float(double(wa3[i - 2]) * cc(i - 1, k, 3) + double(wa3[i - 1]) * cc(i, k, 3));
      const float ci4 =
          float(double(wa3[i - 2]) * cc(i, k, 3) - double(wa3[i - 1]) * cc(i - 1, k, 3));
      const float tr1 = cr2 + cr4;
      const float tr4 = cr4 - cr2;
      const float ti1 = ci2 + ci4;
      const float ti4 = ci2 - ci4;
      const float ti2 = cc(i, k, 0) + ci3;
      const float ti3 = cc(i, k, 0) - ci3;
      const float tr2 = cc(i - 1, k, 0) + cr3;
      const float tr3 = cc(i - 1, k, 0) - cr3;
      ch(i - 1, 0, k) = tr1 + tr2;
      ch(ic - 1, 3, k) = tr2 - tr1;
      ch(i, 0, k) = ti1 + ti2;
      ch(ic, 3, k) = ti1 - ti2;
      ch(i - 1, 2, k) = ti4 + tr3;
      ch(ic - 1, 1, k) = tr3 - ti4;
      ch(i, 2, k) = tr4 + ti3;
      ch(ic, 1, k) = tr4 - ti3;
    }
  }
  if (ido % 2 == 1) return;
  const double halfSqrt2 = 0.70710677f;
  for (int32_t k = 0; k < l1; ++k) {
    const float ti1 = float(-halfSqrt2 * (double(cc(last, k, 1)) + cc(last, k, 3)));
    const float tr1 = float(halfSqrt2 * (double(cc(last, k, 1)) - cc(last, k, 3)));
    ch(last, 0, k) = tr1 + cc(last, k, 0);
    ch(last, 2, k) = cc(last, k, 0) - tr1;
    ch(0, 1, k) = ti1 - cc(last, k, 2);
    ch(0, 3, k) = ti1 + cc(last, k, 2);
  }
}

// Reads (i, m, k) at in[i + ido * (m + 4 k)], writes (i, k, m) at out[i + ido * (k + l1 * m)].
void BackwardRadix4(int32_t ido, int32_t l1, const float* in, float* out, const float* wa1,
                    const float* wa2, const float* wa3) {
  auto cc = [&](int32_t i, int32_t m, int32_t k) { return in[i + ido * (m + 4 * k)]; };
  auto ch = [&](int32_t i, int32_t k, int32_t m) -> float& { return out[i + ido * (k + l1 * m)]; };
  const int32_t last = ido - 1;
  for (int32_t k = 0; k < l1; ++k) {
    const float tr1 = cc(0, 0, k) - cc(last, 3, k);
    const float tr2 = cc(0, 0, k) + cc(last, 3, k);
    const float tr3 = cc(last, 1, k) + cc(last, 1, k);
    const float tr4 = cc(0, 2, k) + cc(0, 2, k);
    ch(0, k, 0) = tr2 + tr3;
    ch(0, k, 1) = tr1 - tr4;
    ch(0, k, 2) = tr2 - tr3;
    ch(0, k, 3) = tr1 + tr4;
  }
  if (ido < 2) return;
  for (int32_t k = 0; k < l1; ++k) {
    for (int32_t i = 2; i < ido; i += 2) {
      const int32_t ic = ido - i;
      const float ti1 = cc(i, 0, k) + cc(ic, 3, k);
      const float ti2 = cc(i, 0, k) - cc(ic, 3, k);
      const float ti3 = cc(i, 2, k) - cc(ic, 1, k);
      const float tr4 = cc(i, 2, k) + cc(ic, 1, k);
      const float tr1 = cc(i - 1, 0, k) - cc(ic - 1, 3, k);
      const float tr2 = cc(i - 1, 0, k) + cc(ic - 1, 3, k);
      const float ti4 = cc(i - 1, 2, k) - cc(ic - 1, 1, k);
      const float tr3 = cc(i - 1, 2, k) + cc(ic - 1, 1, k);
      ch(i - 1, k, 0) = tr2 + tr3;
      ch(i, k, 0) = ti2 + ti3;
      const float cr2 = tr1 - tr4;
      const float ci2 = ti1 + ti4;
      const float cr3 = tr2 - tr3;
      const float ci3 = ti2 - ti3;
      const float cr4 = tr1 + tr4;
      const float ci4 = ti1 - ti4;
      ch(i - 1, k, 1) = float(double(wa1[i - 2]) * cr2 - double(wa1[i - 1]) * ci2);
      ch(i, k, 1) = float(double(wa1[i - 2]) * ci2 + double(wa1[i - 1]) * cr2);
      ch(i - 1, k, 2) = float(double(wa2[i - 2]) * cr3 - double(wa2[i - 1]) * ci3);
      ch(i, k, 2) = float(double(wa2[i - 2]) * ci3 + double(wa2[i - 1]) * cr3);
      ch(i - 1, k, 3) = float(double(wa3[i - 2]) * cr4 - double(wa3[i - 1]) * ci4);
      ch(i, k, 3) = float(double(wa3[i - 2]) * ci4 + double(wa3[i - 1]) * cr4);
    }
  }
  if (ido % 2 == 1) return;
  const double sqrt2 = 1.4142135f;
  for (int32_t k = 0; k < l1; ++k) {
    const float ti1 = cc(0, 1, k) + cc(0, 3, k);
    const float ti2 = cc(0, 3, k) - cc(0, 1, k);
    const float tr1 = cc(last, 0, k) - cc(last, 2, k);
    const float tr2 = cc(last, 0, k) + cc(last, 2, k);
    ch(last, k, 0) = tr2 + tr2;
    ch(last, k, 1) = float(sqrt2 * (double(tr1) - ti1));
    ch(last, k, 2) = ti2 + ti2;
    ch(last, k, 3) = float(-sqrt2 * (double(tr1) + ti1));
  }
}

}  // namespace

// The passes alternate between data and work; the last one may leave the result in work.
void ForwardStages(int32_t n, float* data, float* work, const float* twiddles) {
  bool inWork = false;
  int32_t offset = n - 1;
  for (int32_t l2 = n; l2 > 1; l2 /= 4) {
    const int32_t ido = n / l2;
    offset -= 3 * ido;
    const float* wa = twiddles + offset;
    ForwardRadix4(ido, l2 / 4, inWork ? work : data, inWork ? data : work, wa, wa + ido,
                  wa + 2 * ido);
    inWork = !inWork;
  }
  if (inWork) std::copy(work, work + n, data);
}

void BackwardStages(int32_t n, float* data, float* work, const float* twiddles) {
  bool inWork = false;
  int32_t offset = 0;
  for (int32_t l1 = 1; l1 < n; l1 *= 4) {
    const int32_t ido = n / (4 * l1);
    const float* wa = twiddles + offset;
    BackwardRadix4(ido, l1, inWork ? work : data, inWork ? data : work, wa, wa + ido, wa + 2 * ido);
    inWork = !inWork;
    offset += 3 * ido;
  }
  if (inWork) std::copy(work, work + n, data);
}

}  // namespace reference_fft
