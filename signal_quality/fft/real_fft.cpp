#include "fft/real_fft.h"

#include "fft/fft_tables.h"
#include "fft/radix4_passes.h"

const RealFftConfig kRealFftConfig256 = {256, TwiddleTable, FactorTable, nullptr};

namespace {

// The passes alternate between the data and the work array; na tells which one holds the
// latest values (forward: 1 = data, backward: 0 = data). The factor tables in use hold only
// fours, so the radix-4 pass is the only one there is.

void ForwardStages(int32_t n, float* data, float* work, const float* twiddles,
                   const int32_t* factors) {
    const int32_t factorCount = factors[1];
    int32_t na = 1;
    int32_t l2 = n;
    int32_t off = n - 1;
    for (int32_t f = factorCount + 1; f >= 2; --f) {
        const int32_t ip = factors[f];
        const int32_t l1 = l2 / ip;
        const int32_t ido = n / l2;
        off -= (ip - 1) * ido;
        na = 1 - na;
        const float* wa = twiddles + off;
        if (na == 0) {
            ForwardRadix4(ido, l1, data, work, wa, wa + ido, wa + 2 * ido);
        } else {
            ForwardRadix4(ido, l1, work, data, wa, wa + ido, wa + 2 * ido);
        }
        l2 = l1;
    }
    if (na != 1) {
        for (int32_t i = 0; i < n; ++i) data[i] = work[i];
    }
}

void BackwardStages(int32_t n, float* data, float* work, const float* twiddles,
                    const int32_t* factors) {
    const int32_t factorCount = factors[1];
    int32_t na = 0;
    int32_t l1 = 1;
    int32_t off = 0;
    for (int32_t f = 2; f <= factorCount + 1; ++f) {
        const int32_t ip = factors[f];
        const int32_t l2 = ip * l1;
        const int32_t ido = n / l2;
        const float* wa = twiddles + off;
        if (na == 0) {
            BackwardRadix4(ido, l1, data, work, wa, wa + ido, wa + 2 * ido);
        } else {
            BackwardRadix4(ido, l1, work, data, wa, wa + ido, wa + 2 * ido);
        }
        na = 1 - na;
        l1 = l2;
        off += (ip - 1) * ido;
    }
    if (na != 0) {
        for (int32_t i = 0; i < n; ++i) data[i] = work[i];
    }
}

}  // namespace

void RealFftForward(const RealFftConfig* config, float* data) {
    if (config->size == 1) return;
    ForwardStages(config->size, data, config->work, config->twiddles, config->factors);
}

void RealFftBackward(const RealFftConfig* config, float* data) {
    if (config->size == 1) return;
    BackwardStages(config->size, data, config->work, config->twiddles, config->factors);
}
