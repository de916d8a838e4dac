// The filters against the closed-form magnitude of a 10th-order Butterworth low-pass made by
// the bilinear transform with its corner pre-warped to 4000 Hz, measured from the impulse
// response of the written sum, which the block converters equal bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "resample/tests/shifted_reference.h"

namespace {

constexpr int16_t kImpulseHeight = 32767;

std::vector<double> ImpulseResponse(int32_t rate, int length) {
  shifted_reference::Converter converter = shifted_reference::Make(rate);
  std::vector<double> response;
  int16_t out;
  for (int n = 0; n < length; ++n) {
    shifted_reference::Convert(converter, n == 0 ? kImpulseHeight : int16_t(0), &out);
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

// Across the band, 3 dB down at 4000 Hz, and a DC gain a hair below one exactly where the
// constants lose a step (a constant input settles one step low there).
TEST(LowpassResponse, FollowsTheButterworthMagnitude) {
  struct Case {
    int32_t rate;
    bool dcBelowOne;
  };
  for (const Case& c : {Case{48000, true}, Case{16000, true}, Case{11025, true}, Case{44100, false},
                        Case{22050, false}}) {
    // The slowest pole decays by well over 1e-12 within this many samples at every rate.
    const std::vector<double> response = ImpulseResponse(c.rate, 6000);
    for (int i = 0; i < 400; ++i) {
      const double omega = std::numbers::pi * i / 400.0;
      EXPECT_NEAR(MeasuredMagnitude(response, omega), ButterworthMagnitude(c.rate, omega), 3e-6)
          << c.rate << " Hz at " << omega * c.rate / (2.0 * std::numbers::pi) << " Hz";
    }
    const double corner = MeasuredMagnitude(response, 2.0 * std::numbers::pi * 4000.0 / c.rate);
    EXPECT_NEAR(20.0 * std::log10(corner), -3.0103, 1e-3) << c.rate;
    double dc = 0.0;
    for (double h : response) dc += h;
    EXPECT_NEAR(dc, 1.0, 1.3e-6) << c.rate;
    EXPECT_EQ(dc < 1.0, c.dcBelowOne) << c.rate << ": " << dc - 1.0;
  }
}

}  // namespace
