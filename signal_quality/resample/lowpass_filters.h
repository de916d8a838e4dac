#pragma once

// The five low-pass designs: 10th-order Butterworth filters with their corner at 4000 Hz, one
// per filtered input rate.

#include <cstdint>

struct LowpassFilter {
  double gain;          // G: every input is divided by it before it enters the history
  double feedback[10];  // a0..a9: a0 weighs the oldest output, a9 the newest
};

inline constexpr LowpassFilter kLowpass48000 = {
    2866728.791,
    {-0.0334331837, 0.4461542257, -2.7030838921, 9.7980666029, -23.549461108, 39.25111209,
     -45.995712935, 37.467026803, -20.336373083, 6.6553472782}};
inline constexpr LowpassFilter kLowpass44100 = {
    1373777.293,
    {-0.0244958613, 0.3341231741, -2.0719559, 7.6987864577, -19.000640105, 32.583001652,
     -39.371616086, 33.157607829, -18.665571815, 6.3600152648}};
inline constexpr LowpassFilter kLowpass22050 = {
    4350.904991,
    {-0.0003872683, 0.0066844861, -0.0535610549, 0.262942137, -0.8823526682, 2.1207501551,
     -3.7505927183, 4.8330383225, -4.5058125544, 2.7339378285}};
// The corner is a quarter of the rate, so the odd coefficients vanish. The written sum still
// has their terms, as in the other filters; the block converter leaves them out.
inline constexpr LowpassFilter kLowpass16000 = {
    345.2507086,
    {-0.0000167788, 0, -0.0031654815, 0, -0.0770411661, 0, -0.5453539095, 0, -1.3403832677, 0}};
inline constexpr LowpassFilter kLowpass11025 = {
    17.69346444,
    {-0.0031942899, -0.0495126652, -0.3523340657, -1.5191103652, -4.4065847179, -9.0160440949,
     -13.234423478, -13.840718324, -9.9529291465, -4.4996258124}};
