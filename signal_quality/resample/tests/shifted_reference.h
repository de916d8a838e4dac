// A deliberately plain second evaluation of the converters: histories held as arrays that
// are shifted on every sample, a branch per decision, nothing shared with the library's
// code. Tests compare the library against it bit for bit; the benchmark measures against it.
#pragma once

#include <cstdint>

namespace shifted_reference {

struct Converter {
  double inputHistory[11];
  double outputHistory[11];
  double previousValue;
  double currentValue;
  int32_t phase;
  int32_t rate;  // 8000 means: no filter, step 1 against 1
  double gain;
  double a[10];
};

struct Design {
  int32_t rate;
  double gain;
  double a[10];
};

inline constexpr Design kDesigns[] = {
    {48000,
     2866728.791,
     {-0.0334331837, 0.4461542257, -2.7030838921, 9.7980666029, -23.549461108, 39.25111209,
      -45.995712935, 37.467026803, -20.336373083, 6.6553472782}},
    {44100,
     1373777.293,
     {-0.0244958613, 0.3341231741, -2.0719559, 7.6987864577, -19.000640105, 32.583001652,
      -39.371616086, 33.157607829, -18.665571815, 6.3600152648}},
    {22050,
     4350.904991,
     {-0.0003872683, 0.0066844861, -0.0535610549, 0.262942137, -0.8823526682, 2.1207501551,
      -3.7505927183, 4.8330383225, -4.5058125544, 2.7339378285}},
    {16000,
     345.2507086,
     {-0.0000167788, 0, -0.0031654815, 0, -0.0770411661, 0, -0.5453539095, 0, -1.3403832677, 0}},
    {11025,
     17.69346444,
     {-0.0031942899, -0.0495126652, -0.3523340657, -1.5191103652, -4.4065847179, -9.0160440949,
      -13.234423478, -13.840718324, -9.9529291465, -4.4996258124}},
};

inline Converter Make(int32_t rate) {
  Converter c{};
  c.rate = rate;
  for (const Design& d : kDesigns) {
    if (d.rate == rate) {
      c.gain = d.gain;
      for (int k = 0; k < 10; ++k) c.a[k] = d.a[k];
    }
  }
  return c;
}

inline bool Advance(Converter& c, int32_t step, double value, int32_t rate, int16_t* output) {
  c.previousValue = c.currentValue;
  c.currentValue = value;
  c.phase += step;
  if (c.phase < rate) {
    *output = 0;
    return false;
  }
  c.phase -= rate;
  const double f = double(c.phase) / double(step);
  const double v = c.previousValue * (1.0 - f) + c.currentValue * f;
  if (v > 32767.0) {
    *output = 32767;
  } else if (v < -32768.0) {
    *output = -32768;
  } else {
    *output = int16_t(v);
  }
  return true;
}

inline bool Convert(Converter& c, int16_t sample, int16_t* output) {
  if (c.rate == 8000) return Advance(c, 1, double(sample), 1, output);
  for (int i = 0; i < 10; ++i) c.inputHistory[i] = c.inputHistory[i + 1];
  c.inputHistory[10] = double(sample) / c.gain;
  for (int i = 0; i < 10; ++i) c.outputHistory[i] = c.outputHistory[i + 1];
  const double* x = c.inputHistory;
  const double* y = c.outputHistory;
  double sum = (x[0] + x[10]) + 10.0 * (x[1] + x[9]) + 45.0 * (x[2] + x[8]) +
               120.0 * (x[3] + x[7]) + 210.0 * (x[4] + x[6]) + 252.0 * x[5];
  for (int k = 0; k < 10; ++k) sum = sum + c.a[k] * y[k];
  c.outputHistory[10] = sum;
  return Advance(c, 8000, sum, c.rate, output);
}

}  // namespace shifted_reference
