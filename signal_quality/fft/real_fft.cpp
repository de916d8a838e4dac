#include "fft/real_fft.h"

#include "fft/fft_tables.h"
#include "fft/radix4_passes.h"
#include "fft/real_fft_256.h"

const RealFftConfig kRealFftConfig256 = {256, TwiddleTable, FactorTable, nullptr};

namespace {

// The passes alternate between the data and the work array; na tells which one holds the
// latest values (forward: 1 = data, backward: 0 = data). The factor tables in use hold only
// fours, so the radix-4 pass is the only one there is.

// Product of factors[from .. to - 1]: the passes' l1 and ido come from it without a
// division (an integer division per pass costs as much as a short pass itself).
int32_t FactorProduct(const int32_t* factors, int32_t from, int32_t to) {
    int32_t product = 1;
    for (int32_t f = from; f < to; ++f) product *= factors[f];
    return product;
}

void ForwardStages(int32_t n, float* data, float* work, const float* twiddles,
                   const int32_t* factors) {
    const int32_t factorCount = factors[1];
    int32_t na = 1;
    int32_t off = n - 1;
    for (int32_t f = factorCount + 1; f >= 2; --f) {
        const int32_t ip = factors[f];
        const int32_t l1 = FactorProduct(factors, 2, f);                     // l2 / ip
        const int32_t ido = FactorProduct(factors, f + 1, factorCount + 2);  // n / l2
        off -= (ip - 1) * ido;
        na = 1 - na;
        const float* wa = twiddles + off;
        if (na == 0) {
            ForwardRadix4(ido, l1, data, work, wa, wa + ido, wa + 2 * ido);
        } else {
            ForwardRadix4(ido, l1, work, data, wa, wa + ido, wa + 2 * ido);
        }
    }
    if (na != 1) {
        for (int32_t i = 0; i < n; ++i) data[i] = work[i];
    }
}

void BackwardStages(int32_t n, float* data, float* work, const float* twiddles,
                    const int32_t* factors) {
    const int32_t factorCount = factors[1];
    int32_t na = 0;
    int32_t off = 0;
    for (int32_t f = 2; f <= factorCount + 1; ++f) {
        const int32_t ip = factors[f];
        const int32_t l1 = FactorProduct(factors, 2, f);
        const int32_t ido = FactorProduct(factors, f + 1, factorCount + 2);  // n / (ip * l1)
        const float* wa = twiddles + off;
        if (na == 0) {
            BackwardRadix4(ido, l1, data, work, wa, wa + ido, wa + 2 * ido);
        } else {
            BackwardRadix4(ido, l1, work, data, wa, wa + ido, wa + 2 * ido);
        }
        na = 1 - na;
        off += (ip - 1) * ido;
    }
    if (na != 0) {
        for (int32_t i = 0; i < n; ++i) data[i] = work[i];
    }
}

// The schedule 4, 4, 4, 4 of 256 points has passes of its own (same results, faster).
bool IsSchedule256(const RealFftConfig* config) {
    const int32_t* f = config->factors;
    return config->size == 256 && f[1] == 4 && f[2] == 4 && f[3] == 4 && f[4] == 4 && f[5] == 4;
}

}  // namespace

void RealFftForward(const RealFftConfig* config, float* data) {
    if (config->size == 1) return;
    if (IsSchedule256(config)) return Forward256(data, config->work, config->twiddles);
    ForwardStages(config->size, data, config->work, config->twiddles, config->factors);
}

void RealFftBackward(const RealFftConfig* config, float* data) {
    if (config->size == 1) return;
    if (IsSchedule256(config)) return Backward256(data, config->work, config->twiddles);
    BackwardStages(config->size, data, config->work, config->twiddles, config->factors);
}
