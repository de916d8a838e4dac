#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "fft/fft_tables.h"
#include "fft/real_fft.h"
#include "fft/tests/reference_fft.h"

namespace {

constexpr int32_t kN = 256;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// A transform set-up of its own, as every user makes one.
struct Transform {
    std::vector<float> work = std::vector<float>(kN);
    RealFftConfig config = kRealFftConfig256;
    Transform() { config.work = work.data(); }
    std::vector<float> Forward(std::vector<float> data) {
        RealFftForward(&config, data.data());
        return data;
    }
    std::vector<float> Backward(std::vector<float> data) {
        RealFftBackward(&config, data.data());
        return data;
    }
};

// Deterministic values in [-1000, 1000].
std::vector<float> NoiseInput(uint32_t seed) {
    std::vector<float> x(kN);
    for (float& v : x) {
        seed = seed * 1664525u + 1013904223u;
        v = float(int32_t(seed >> 16) % 2001 - 1000);
    }
    return x;
}

std::vector<float> Unit(int32_t index) {
    std::vector<float> r(kN, 0.0f);
    r[index] = 1.0f;
    return r;
}

uint32_t Bits(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

}  // namespace

TEST(RealFftForward, ConstantGoesEntirelyToTheDcBin) {
    Transform t;
    const std::vector<float> r = t.Forward(std::vector<float>(kN, 3.0f));
    EXPECT_EQ(r[0], 768.0f);
    for (int32_t i = 1; i < kN; ++i) EXPECT_EQ(r[i], 0.0f) << i;
}

TEST(RealFftForward, AlternatingSignGoesEntirelyToTheNyquistBin) {
    Transform t;
    std::vector<float> x(kN);
    for (int32_t j = 0; j < kN; ++j) x[j] = (j % 2 == 0) ? 1.0f : -1.0f;
    const std::vector<float> r = t.Forward(x);
    EXPECT_EQ(r[kN - 1], 256.0f);
    for (int32_t i = 0; i < kN - 1; ++i) EXPECT_EQ(r[i], 0.0f) << i;
}

TEST(RealFftForward, ImpulseGivesExactlyOneInEveryRealPartAndZeroImaginaryParts) {
    Transform t;
    const std::vector<float> r = t.Forward(Unit(0));
    EXPECT_EQ(r[0], 1.0f);
    EXPECT_EQ(r[kN - 1], 1.0f);
    for (int32_t k = 1; k < kN / 2; ++k) {
        EXPECT_EQ(r[2 * k - 1], 1.0f) << k;
        EXPECT_EQ(r[2 * k], 0.0f) << k;
    }
}

TEST(RealFftForward, CosineAndSineLandInBinFiveWithTheImaginarySignOfTheTransform) {
    Transform t;
    std::vector<float> c(kN), s(kN);
    for (int32_t j = 0; j < kN; ++j) {
        c[j] = float(std::cos(kTwoPi * 5 * j / kN));
        s[j] = float(std::sin(kTwoPi * 5 * j / kN));
    }
    const std::vector<float> rc = t.Forward(c);
    const std::vector<float> rs = t.Forward(s);
    EXPECT_NEAR(rc[9], 128.0, 2e-3);
    EXPECT_NEAR(rs[10], -128.0, 2e-3);
    for (int32_t i = 0; i < kN; ++i) {
        if (i != 9) {
            EXPECT_NEAR(rc[i], 0.0, 4e-3) << i;
        }
        if (i != 10) {
            EXPECT_NEAR(rs[i], 0.0, 4e-3) << i;
        }
    }
}

TEST(RealFftForward, MatchesADirectTransformInDouble) {
    Transform t;
    const std::vector<float> x = NoiseInput(7);
    const std::vector<float> r = t.Forward(x);
    std::vector<double> expected(kN, 0.0);
    for (int32_t j = 0; j < kN; ++j) {
        expected[0] += x[j];
        expected[kN - 1] += (j % 2 == 0) ? x[j] : -x[j];
        for (int32_t k = 1; k < kN / 2; ++k) {
            const double angle = kTwoPi * double((j * k) % kN) / kN;
            expected[2 * k - 1] += x[j] * std::cos(angle);
            expected[2 * k] -= x[j] * std::sin(angle);
        }
    }
    // Six-decimal twiddles: about 1e-5 of the sum of magnitudes.
    for (int32_t i = 0; i < kN; ++i) EXPECT_NEAR(r[i], expected[i], 2.0) << i;
}

TEST(RealFftBackward, MatchesTheDirectInverseInDouble) {
    Transform t;
    const std::vector<float> r = NoiseInput(11);
    const std::vector<float> x = t.Backward(r);
    for (int32_t j = 0; j < kN; ++j) {
        double expected = r[0] + ((j % 2 == 0) ? r[kN - 1] : -r[kN - 1]);
        for (int32_t k = 1; k < kN / 2; ++k) {
            const double angle = kTwoPi * double((j * k) % kN) / kN;
            expected += 2.0 * (r[2 * k - 1] * std::cos(angle) - r[2 * k] * std::sin(angle));
        }
        EXPECT_NEAR(x[j], expected, 4.0) << j;
    }
}

TEST(RealFftBackward, UnitBinsGiveConstantAlternatingAndDoubledCosine) {
    Transform t;
    const std::vector<float> dc = t.Backward(Unit(0));
    const std::vector<float> nyquist = t.Backward(Unit(kN - 1));
    const std::vector<float> bin5 = t.Backward(Unit(9));
    for (int32_t j = 0; j < kN; ++j) {
        EXPECT_EQ(dc[j], 1.0f) << j;
        EXPECT_EQ(nyquist[j], (j % 2 == 0) ? 1.0f : -1.0f) << j;
        EXPECT_NEAR(bin5[j], 2.0 * std::cos(kTwoPi * 5 * j / kN), 5e-5) << j;
    }
}

TEST(RealFftRoundTrip, ScalesBy256) {
    Transform t;
    const std::vector<float> x = NoiseInput(3);
    const std::vector<float> y = t.Backward(t.Forward(x));
    for (int32_t j = 0; j < kN; ++j) EXPECT_NEAR(y[j], 256.0 * x[j], 2e-5 * 256.0 * 1000.0) << j;
}

TEST(RealFftRoundTrip, DoesNotDependOnWhatTheWorkArrayHeldBefore) {
    Transform clean;
    Transform dirty;
    const std::vector<float> x = NoiseInput(5);
    const std::vector<float> expected = clean.Backward(clean.Forward(x));
    std::fill(dirty.work.begin(), dirty.work.end(), std::numeric_limits<float>::quiet_NaN());
    const std::vector<float> forward = dirty.Forward(x);
    std::fill(dirty.work.begin(), dirty.work.end(), std::numeric_limits<float>::quiet_NaN());
    const std::vector<float> y = dirty.Backward(forward);
    for (int32_t j = 0; j < kN; ++j) EXPECT_EQ(Bits(y[j]), Bits(expected[j])) << j;
}

// Bit patterns of this implementation's outputs for a fixed input. Twiddle products and the
// sqrt(2) columns are rounded once from double; float products would change these bits.
TEST(RealFftGolden, KeepsTheRoundingOfEveryPass) {
    Transform t;
    // Fractions, so that sums in the sqrt(2) columns are not exact in single precision.
    std::vector<float> x = NoiseInput(1);
    for (float& v : x) v = float(v / 7.0);
    const std::vector<float> r = t.Forward(x);
    const std::vector<float> y = t.Backward(r);
    uint32_t forwardHash = 2166136261u;
    uint32_t backwardHash = 2166136261u;
    for (int32_t i = 0; i < kN; ++i) {
        forwardHash = (forwardHash ^ Bits(r[i])) * 16777619u;
        backwardHash = (backwardHash ^ Bits(y[i])) * 16777619u;
    }
    EXPECT_EQ(forwardHash, 3743576396u);
    EXPECT_EQ(backwardHash, 1922450848u);
}

TEST(RealFftSizes, SizeOneLeavesTheDataAlone) {
    float work[1] = {0.0f};
    RealFftConfig config = {1, TwiddleTable, FactorTable, work};
    float data[1] = {42.0f};
    RealFftForward(&config, data);
    EXPECT_EQ(data[0], 42.0f);
    RealFftBackward(&config, data);
    EXPECT_EQ(data[0], 42.0f);
}

// One pass only: the result first lands in the work array and is copied back.
TEST(ReferenceFft, FourPointTransformEndsInTheDataArray) {
    const int32_t factors[] = {4, 1, 4};
    float work[4] = {};
    float data[4] = {1.0f, 2.0f, 3.0f, 4.0f};
    reference_fft::ForwardStages(4, data, work, TwiddleTable, factors);
    EXPECT_EQ(data[0], 10.0f);
    EXPECT_EQ(data[1], -2.0f);
    EXPECT_EQ(data[2], 2.0f);
    EXPECT_EQ(data[3], -2.0f);
    reference_fft::BackwardStages(4, data, work, TwiddleTable, factors);
    EXPECT_EQ(data[0], 4.0f);
    EXPECT_EQ(data[1], 8.0f);
    EXPECT_EQ(data[2], 12.0f);
    EXPECT_EQ(data[3], 16.0f);
}
