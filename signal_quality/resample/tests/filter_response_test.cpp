// The filters are checked against the closed-form magnitude of a 10th-order Butterworth
// low-pass made by the bilinear transform with its corner pre-warped to 4000 Hz. The
// response is measured from the converter's own filtered values (its impulse response), so
// both the coefficient table and the evaluation are under test.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "resample/rate_converter.h"

namespace {

constexpr int16_t kImpulseHeight = 32767;

std::vector<double> ImpulseResponse(int32_t rate, int length) {
  RateConverter converter;
  RateConverter_Reset(&converter);
  const SampleConverter convert = ConverterForRate(rate);
  std::vector<double> response;
  int16_t out;
  for (int n = 0; n < length; ++n) {
    convert(&converter, n == 0 ? kImpulseHeight : int16_t(0), &out);
    response.push_back(converter.currentValue / kImpulseHeight);
  }
  return response;
}

double MeasuredMagnitude(const std::vector<double>& response, double omega) {
  std::complex<double> sum = 0.0;
  for (size_t n = 0; n < response.size(); ++n) {
    sum += response[n] * std::polar(1.0, -omega * double(n));
  }
  return std::abs(sum);
}

double ButterworthMagnitude(int32_t rate, double omega) {
  const double corner = 2.0 * std::numbers::pi * 4000.0 / rate;
  const double ratio = std::tan(omega / 2.0) / std::tan(corner / 2.0);
  return 1.0 / std::sqrt(1.0 + std::pow(ratio, 20.0));
}

constexpr int32_t kFilteredRates[] = {11025, 16000, 22050, 44100, 48000};

TEST(LowpassResponse, FollowsTheButterworthMagnitudeAcrossTheBand) {
  for (int32_t rate : kFilteredRates) {
    // The slowest pole decays by well over 1e-12 within this many samples at every rate.
    const std::vector<double> response = ImpulseResponse(rate, 6000);
    for (int i = 0; i < 400; ++i) {
      const double omega = std::numbers::pi * i / 400.0;
      EXPECT_NEAR(MeasuredMagnitude(response, omega), ButterworthMagnitude(rate, omega), 3e-6)
          << rate << " Hz at " << omega * rate / (2.0 * std::numbers::pi) << " Hz";
    }
  }
}

TEST(LowpassResponse, IsThreeDecibelsDownAtFourKilohertz) {
  for (int32_t rate : kFilteredRates) {
    const std::vector<double> response = ImpulseResponse(rate, 6000);
    const double gain = MeasuredMagnitude(response, 2.0 * std::numbers::pi * 4000.0 / rate);
    EXPECT_NEAR(20.0 * std::log10(gain), -3.0103, 1e-3) << rate;
  }
}

TEST(LowpassResponse, DcGainIsAHairBelowOneExactlyWhereConstantsLoseAStep) {
  struct Case {
    int32_t rate;
    bool belowOne;
  };
  for (const Case& c : {Case{48000, true}, Case{16000, true}, Case{11025, true}, Case{44100, false},
                        Case{22050, false}}) {
    double dc = 0.0;
    for (double h : ImpulseResponse(c.rate, 6000)) dc += h;
    EXPECT_NEAR(dc, 1.0, 1.3e-6) << c.rate;
    EXPECT_EQ(dc < 1.0, c.belowOne) << c.rate << ": " << dc - 1.0;
  }
}

}  // namespace
