// The converters that take a whole block of input samples per call. They compute exactly the
// written sum of rate_converter.h, in another arrangement: the histories live in linear buffers
// and registers instead of the rings, the divisions and the filter sums of two neighbouring
// samples run side by side in the two lanes of a DoublePair, and the phase step visits only the
// inputs that produce an output.
#include <cstring>

#include "resample/double_pair.h"
#include "resample/lowpass_filters.h"
#include "resample/rate_converter.h"

namespace {

// Inputs per pass over the buffers, which the stack holds.
constexpr int32_t kChunk = 256;
// Values of each history that a new output needs from before its own input.
constexpr int32_t kCarried = kConverterHistoryLength - 1;

// Slot k of both rings, in both of their halves.
inline void StoreHistorySlot(RateConverter* converter, int32_t k, double input, double output) {
  converter->inputHistory[k] = converter->inputHistory[k + kConverterHistoryLength] = input;
  converter->outputHistory[k] = converter->outputHistory[k + kConverterHistoryLength] = output;
}

// The numerator of the filter in the written order, for the outputs at x + 0 and x + 1: x
// points at the newest input of the first, x - 10 at its oldest.
inline DoublePair NumeratorPair(const double* x) {
  DoublePair s = PairAdd(PairLoad(x - 10), PairLoad(x));
  s = PairAdd(s, PairMul(PairSplat(10.0), PairAdd(PairLoad(x - 9), PairLoad(x - 1))));
  s = PairAdd(s, PairMul(PairSplat(45.0), PairAdd(PairLoad(x - 8), PairLoad(x - 2))));
  s = PairAdd(s, PairMul(PairSplat(120.0), PairAdd(PairLoad(x - 7), PairLoad(x - 3))));
  s = PairAdd(s, PairMul(PairSplat(210.0), PairAdd(PairLoad(x - 6), PairLoad(x - 4))));
  return PairAdd(s, PairMul(PairSplat(252.0), PairLoad(x - 5)));
}

// The same for one output, for a block of odd length.
inline double Numerator(const double* x) {
  return (x[-10] + x[0]) + 10.0 * (x[-9] + x[-1]) + 45.0 * (x[-8] + x[-2]) +
         120.0 * (x[-7] + x[-3]) + 210.0 * (x[-6] + x[-4]) + 252.0 * x[-5];
}

// Pairs of inputs divided ahead of their numerators, and pairs of outputs whose numerators
// are summed ahead of their feedback terms. Neither needs an output: done early, the long
// division and the numerator's chain of ten dependent operations run while the recursion
// waits for its latest output.
constexpr int32_t kDivisionsAhead = 4;
constexpr int32_t kNumeratorsAhead = 3;

// The coefficients as locals of the filter loops. The loops store through pointers that, to
// the compiler, might alias the design's constants, which would then be loaded and spread
// over both lanes again in every round.
struct Coefficients {
  explicit Coefficients(const LowpassFilter& filter)
      : gain(PairSplat(filter.gain)),
        a0(PairSplat(filter.feedback[0])),
        a1(PairSplat(filter.feedback[1])),
        a2(PairSplat(filter.feedback[2])),
        a3(PairSplat(filter.feedback[3])),
        a4(PairSplat(filter.feedback[4])),
        a5(PairSplat(filter.feedback[5])),
        a6(PairSplat(filter.feedback[6])),
        a8(PairSplat(filter.feedback[8])),
        a7Scalar(filter.feedback[7]),
        a8Scalar(filter.feedback[8]),
        a9Scalar(filter.feedback[9]) {}
  DoublePair gain, a0, a1, a2, a3, a4, a5, a6, a8;
  double a7Scalar, a8Scalar, a9Scalar;
};

// Divides the inputs at x[at] and x[at + 1] (the one before end, if only that one exists) by
// the gain: true divisions, as a stored reciprocal would round differently. input[q] is the
// sample that goes to x[q]. Returns the next position.
inline int32_t DividePair(const int16_t* input, DoublePair gain, double* x, int32_t at,
                          int32_t end) {
  if (at + 1 < end) {
    PairStore(x + at, PairDiv(PairOf(double(input[at]), double(input[at + 1])), gain));
  } else if (at < end) {
    x[at] = double(input[at]) / PairLow(gain);
  }
  return at + 2;
}

// Sums the numerators of the outputs at at and at + 1 into numerators[at], when both exist.
// Returns the next position.
inline int32_t SumNumeratorPair(const double* x, double* numerators, int32_t at, int32_t end) {
  if (at + 1 < end) PairStore(numerators + at, NumeratorPair(x + at));
  return at + 2;
}

// The same for one output at q, for a block of odd length: the whole written sum.
inline double WrittenSum(const LowpassFilter& filter, const double* x, const double* y, int32_t q) {
  double sum = Numerator(x + q);
  for (int32_t k = 0; k < 10; ++k) sum = sum + filter.feedback[k] * y[q - 10 + k];
  return sum;
}

// The feedback terms a0 .. a6 for the outputs at q and q + 1 added to their numerator, given
// the outputs from q - 10 to q - 3 in pairs: no output from q - 2 on takes part.
inline DoublePair EarlyFeedback(DoublePair sum, const Coefficients& c, DoublePair e0, DoublePair e1,
                                DoublePair e2, DoublePair e3) {
  sum = PairAdd(sum, PairMul(c.a0, e0));
  sum = PairAdd(sum, PairMul(c.a1, PairStraddle(e0, e1)));
  sum = PairAdd(sum, PairMul(c.a2, e1));
  sum = PairAdd(sum, PairMul(c.a3, PairStraddle(e1, e2)));
  sum = PairAdd(sum, PairMul(c.a4, e2));
  sum = PairAdd(sum, PairMul(c.a5, PairStraddle(e2, e3)));
  return PairAdd(sum, PairMul(c.a6, e3));
}

// Filters count samples: x[10 ..] receives the samples divided by the gain and y[10 ..]
// their outputs; x[0 .. 9] and y[0 .. 9] hold the ten before. Two outputs per round, each
// summed in the written order: the numerator and the feedback terms whose outputs both lanes
// know a round early are summed side by side during the round before, the terms a7 .. a9
// lane by lane, the second lane's last term taking the first lane's output. The newest output
// then waits for only a9's product and the last addition.
void FilterChunk(const LowpassFilter& filter, const int16_t* samples, double* x, double* y,
                 int32_t count) {
  const Coefficients c(filter);
  const int16_t* input = samples - kCarried;
  const int32_t end = kCarried + count;
  alignas(16) double numerators[kCarried + kChunk];
  int32_t divided = kCarried;
  int32_t summed = kCarried;
  for (int32_t pair = 0; pair < kDivisionsAhead; ++pair) {
    divided = DividePair(input, c.gain, x, divided, end);
  }
  for (int32_t pair = 0; pair < kNumeratorsAhead; ++pair) {
    divided = DividePair(input, c.gain, x, divided, end);
    summed = SumNumeratorPair(x, numerators, summed, end);
  }
  // e0..e4: the ten latest outputs in pairs, e4 = (y[q - 2], y[q - 1]) for the outputs at q
  // and q + 1.
  DoublePair e1 = PairLoad(y + 2);
  DoublePair e2 = PairLoad(y + 4);
  DoublePair e3 = PairLoad(y + 6);
  DoublePair e4 = PairLoad(y + 8);
  DoublePair early = PairSplat(0.0);
  if (count >= 2)
    early = EarlyFeedback(PairLoad(numerators + kCarried), c, PairLoad(y), e1, e2, e3);
  int32_t q = kCarried;
  for (; q + 1 < end; q += 2) {
    divided = DividePair(input, c.gain, x, divided, end);
    summed = SumNumeratorPair(x, numerators, summed, end);
    // The next round's early terms take outputs up to y[q - 1], known already.
    const DoublePair next =
        q + 3 < end ? EarlyFeedback(PairLoad(numerators + q + 2), c, e1, e2, e3, e4) : early;
    const double y3 = PairHigh(e3);
    const double y2 = PairLow(e4);
    const double y1 = PairHigh(e4);
    const double first = ((PairLow(early) + c.a7Scalar * y3) + c.a8Scalar * y2) + c.a9Scalar * y1;
    const double second =
        ((PairHigh(early) + c.a7Scalar * y2) + c.a8Scalar * y1) + c.a9Scalar * first;
    e1 = e2;
    e2 = e3;
    e3 = e4;
    e4 = PairOf(first, second);
    PairStore(y + q, e4);
    early = next;
  }
  if (q < end) {
    DividePair(input, c.gain, x, divided, end);
    y[q] = WrittenSum(filter, x, y, q);
  }
}

// At 16000 Hz every output falls at fraction 0, as at 48000 Hz, and is the filtered value of
// the input before the one that produces it: the values of the inputs that arrive at phase 0,
// every other input. Only those "shown" values ever reach an output (an output weighs the
// other value by 0, and it is finite). The filter's odd coefficients are 0, and their terms
// are left out: each would add a product 0 * y = +-0 (y is finite) to a finite sum, which
// leaves a nonzero sum as it is and can change only the sign of a zero sum, which no output
// can show and which weighs the same in every later sum. Without them a shown value depends
// only on the inputs and on the shown values before it; so only the shown values are
// computed, half the work of computing every value. The others are left at 0 in the state: the
// written sum weighs them only with the zero coefficients.
//
// Below, the inputs of a stretch that starts at phase 0 are kept apart: xe[j] holds the input
// at even position 2 j (shown), xo[j] the one at odd position 2 j + 1, ye[j] the shown value
// of xe[j]. Five of each carry from before the stretch.
constexpr int32_t kShownCarried = kCarried / 2;

// The numerators of the shown values at h and h + 1 in the written order: the inputs from
// position 2 h - 10 to 2 h, alternately from xe and xo.
inline DoublePair ShownNumeratorPair(const double* xe, const double* xo) {
  DoublePair s = PairAdd(PairLoad(xe - 5), PairLoad(xe));
  s = PairAdd(s, PairMul(PairSplat(10.0), PairAdd(PairLoad(xo - 5), PairLoad(xo - 1))));
  s = PairAdd(s, PairMul(PairSplat(45.0), PairAdd(PairLoad(xe - 4), PairLoad(xe - 1))));
  s = PairAdd(s, PairMul(PairSplat(120.0), PairAdd(PairLoad(xo - 4), PairLoad(xo - 2))));
  s = PairAdd(s, PairMul(PairSplat(210.0), PairAdd(PairLoad(xe - 3), PairLoad(xe - 2))));
  return PairAdd(s, PairMul(PairSplat(252.0), PairLoad(xo - 3)));
}

// The same for one shown value, and its whole sum with the even feedback terms.
inline double ShownWrittenSum(const LowpassFilter& filter, const double* xe, const double* xo,
                              const double* ye) {
  double sum = (xe[-5] + xe[0]) + 10.0 * (xo[-5] + xo[-1]) + 45.0 * (xe[-4] + xe[-1]) +
               120.0 * (xo[-4] + xo[-2]) + 210.0 * (xe[-3] + xe[-2]) + 252.0 * xo[-3];
  for (int32_t k = 0; k < 10; k += 2) sum = sum + filter.feedback[k] * ye[k / 2 - 5];
  return sum;
}

// count inputs from phase 0 on (the first one shown): their inputs go to xe and xo, their
// shown values to ye, from index kShownCarried on. Writes the outputs they produce, one per
// input at odd position, and returns how many. Two shown values per round, summed in the
// written order: the terms a0 .. a4 side by side, a6 and a8 lane by lane, the second lane's a8
// term taking the first lane's value, which then waits for only a8's product and the last
// addition. The divisions and the numerators, which need no shown value, run a few rounds
// ahead, out of the way of that chain.
int32_t FilterShownStretch(const LowpassFilter& filter, const int16_t* samples, int32_t count,
                           double* xe, double* xo, double* ye, int16_t* output) {
  const Coefficients c(filter);
  const int32_t shown = (count + 1) / 2;
  const int32_t hidden = count / 2;
  double* const newXe = xe + kShownCarried;
  double* const newXo = xo + kShownCarried;
  // Round r takes the inputs 4 r .. 4 r + 3: true divisions, two at a time (a stored
  // reciprocal would round differently).
  auto divide = [&](int32_t r) {
    const int32_t i = 4 * r;
    if (i + 3 < count) {
      PairStore(newXe + 2 * r, PairDiv(PairOf(double(samples[i]), double(samples[i + 2])), c.gain));
      PairStore(newXo + 2 * r,
                PairDiv(PairOf(double(samples[i + 1]), double(samples[i + 3])), c.gain));
    } else {
      for (int32_t at = i; at < count; ++at) {
        double* slot = at % 2 == 0 ? newXe + at / 2 : newXo + at / 2;
        *slot = double(samples[at]) / filter.gain;
      }
    }
  };
  alignas(16) double numerators[kChunk / 2 + 2];
  auto sum = [&](int32_t r) {
    if (2 * r + 1 < shown) {
      PairStore(numerators + 2 * r, ShownNumeratorPair(newXe + 2 * r, newXo + 2 * r));
    }
  };
  for (int32_t r = 0; r < kDivisionsAhead; ++r) divide(r);
  for (int32_t r = 0; r < kNumeratorsAhead; ++r) {
    divide(kDivisionsAhead + r);
    sum(r);
  }
  // g0 = (ye[h - 5], ye[h - 4]), g1 = (ye[h - 3], ye[h - 2]), latest = ye[h - 1] for the
  // values at h and h + 1.
  const double* a = filter.feedback;
  DoublePair g0 = PairLoad(ye);
  DoublePair g1 = PairLoad(ye + 2);
  double latest = ye[4];
  double* const newYe = ye + kShownCarried;
  int32_t r = 0;
  for (; 2 * r + 1 < shown; ++r) {
    divide(r + kDivisionsAhead + kNumeratorsAhead);
    sum(r + kNumeratorsAhead);
    DoublePair partial = PairAdd(PairLoad(numerators + 2 * r), PairMul(c.a0, g0));
    partial = PairAdd(partial, PairMul(c.a2, PairStraddle(g0, g1)));
    partial = PairAdd(partial, PairMul(c.a4, g1));
    const double before = PairHigh(g1);
    const double first = (PairLow(partial) + a[6] * before) + a[8] * latest;
    const double second = (PairHigh(partial) + a[6] * latest) + a[8] * first;
    g0 = g1;
    g1 = PairOf(latest, first);
    latest = second;
    PairStore(newYe + 2 * r, PairOf(first, second));
    // Each shown value is the output of the input after it, where there is one.
    output[2 * r] = SaturatedSample(first);
    if (2 * r + 1 < hidden) output[2 * r + 1] = SaturatedSample(second);
  }
  // Every input is divided by now: the rounds ran that far ahead.
  if (2 * r < shown) {
    const int32_t h = kShownCarried + 2 * r;
    ye[h] = ShownWrittenSum(filter, xe + h, xo + h, ye + h);
    if (2 * r < hidden) output[2 * r] = SaturatedSample(ye[h]);
  }
  return hidden;
}

// The phase step over count filtered values: values[1 .. count] belong to the inputs,
// values[0] to the input before them. Output m of the block (from 1) falls on the input with
// which the phase, advanced by 8000 per input, reaches m times the rate; each output's input
// and phase follow from m alone, so no output waits for the one before it.
int32_t EmitOutputs(const double* values, int32_t count, int32_t rate, int32_t* phase,
                    int16_t* output) {
  const int32_t start = *phase;
  const int32_t outputs = (start + 8000 * count) / rate;
  *phase = start + 8000 * count - outputs * rate;
  if (rate % 8000 == 0 && start % 8000 == 0) {
    // The phase moves in whole steps, so every output falls at fraction 0, on input
    // step * m - start / 8000: previous * (1 - 0) + current * 0 is the previous value plus a
    // zero (current is finite), which is the previous value itself or, when that is a zero,
    // a zero that truncates to the same sample.
    const int32_t step = rate / 8000;
    const double* previous = values + (step - 1 - start / 8000);
    for (int32_t m = 0; m < outputs; ++m) output[m] = SaturatedSample(previous[step * m]);
    return outputs;
  }
  for (int32_t m = 1; m <= outputs; ++m) {
    const int32_t at = (m * rate - start + 7999) / 8000;
    const int32_t p = start + 8000 * at - m * rate;
    output[m - 1] = InterpolatedSample(values[at - 1], values[at], p, 8000);
  }
  return outputs;
}

int32_t FilterBlock(RateConverter* converter, const LowpassFilter& filter, int32_t rate,
                    const int16_t* samples, int32_t count, int16_t* output) {
  if (count <= 0) return 0;
  alignas(16) double x[kCarried + kChunk];
  alignas(16) double y[kCarried + kChunk];
  // The ring holds the eleven newest of each history from `oldest` on; the ten newest carry.
  std::memcpy(x, converter->inputHistory + converter->oldest + 1, sizeof(double) * kCarried);
  std::memcpy(y, converter->outputHistory + converter->oldest + 1, sizeof(double) * kCarried);
  int32_t phase = converter->phase;
  int32_t produced = 0;
  for (int32_t done = 0;;) {
    const int32_t n = count - done < kChunk ? count - done : kChunk;
    FilterChunk(filter, samples + done, x, y, n);
    produced += EmitOutputs(y + kCarried - 1, n, rate, &phase, output + produced);
    done += n;
    if (done == count) {
      // The eleven newest of each history back into the rings, from slot 0 on.
      for (int32_t k = 0; k < kConverterHistoryLength; ++k) {
        StoreHistorySlot(converter, k, x[n - 1 + k], y[n - 1 + k]);
      }
      converter->oldest = 0;
      converter->previousValue = y[n + kCarried - 2];
      converter->currentValue = y[n + kCarried - 1];
      converter->phase = phase;
      return produced;
    }
    std::memmove(x, x + n, sizeof(double) * kCarried);
    std::memmove(y, y + n, sizeof(double) * kCarried);
  }
}

}  // namespace

// Every input comes out one sample later, the phase staying 0: the value at fraction 0 is the
// previous sample itself (plus the current one times 0, which changes no sample). The first
// output of a block is the one value carried in the state; the others are the block's own
// samples.
int32_t ConvertBlockFrom8000(RateConverter* converter, const int16_t* samples, int32_t count,
                             int16_t* output) {
  if (count <= 0) return 0;
  output[0] = SaturatedSample(converter->currentValue);
  std::memcpy(output + 1, samples, sizeof(int16_t) * size_t(count - 1));
  converter->previousValue = count > 1 ? double(samples[count - 2]) : converter->currentValue;
  converter->currentValue = double(samples[count - 1]);
  return count;
}

int32_t ConvertBlockFrom11025(RateConverter* converter, const int16_t* samples, int32_t count,
                              int16_t* output) {
  return FilterBlock(converter, kLowpass11025, 11025, samples, count, output);
}

int32_t ConvertBlockFrom16000(RateConverter* converter, const int16_t* samples, int32_t count,
                              int16_t* output) {
  if (count <= 0) return 0;
  // The phase is 0 or 8000: every stream starts at 0 and moves by 8000 per input.
  int32_t produced = 0;
  const LowpassFilter& filter = kLowpass16000;
  // The ring's eleven newest of each history, oldest first, and room for one more.
  double x[kConverterHistoryLength + 1];
  double y[kConverterHistoryLength + 1];
  std::memcpy(x, converter->inputHistory + converter->oldest, sizeof(double) * 11);
  std::memcpy(y, converter->outputHistory + converter->oldest, sizeof(double) * 11);
  // The ten inputs before the stretch start at x[from]; at phase 8000 the newest is shown,
  // and the first input, which produces its output, joins them first.
  int32_t from = 1;
  int32_t taken = 0;
  if (converter->phase == 8000) {
    x[11] = double(samples[0]) / filter.gain;
    y[11] = 0.0;
    output[produced++] = SaturatedSample(y[10]);
    from = 2;
    taken = 1;
  }
  alignas(16) double xe[kShownCarried + kChunk / 2 + 1];
  alignas(16) double xo[kShownCarried + kChunk / 2 + 1];
  alignas(16) double ye[kShownCarried + kChunk / 2 + 1];
  for (int32_t j = 0; j < kShownCarried; ++j) {
    xe[j] = x[from + 2 * j];
    xo[j] = x[from + 2 * j + 1];
    ye[j] = y[from + 2 * j];
  }
  // Stretches of whole pairs, so that each starts at phase 0 again.
  int32_t last = 2 * kShownCarried - 1;  // position of the newest input, counted as in xe, xo
  while (taken < count) {
    const int32_t n = count - taken < kChunk ? count - taken : kChunk;
    produced += FilterShownStretch(filter, samples + taken, n, xe, xo, ye, output + produced);
    taken += n;
    last = 2 * kShownCarried - 1 + n;
    if (taken < count) {
      std::memmove(xe, xe + n / 2, sizeof(double) * kShownCarried);
      std::memmove(xo, xo + n / 2, sizeof(double) * kShownCarried);
      std::memmove(ye, ye + n / 2, sizeof(double) * kShownCarried);
    }
  }
  auto inputAt = [&](int32_t position) {
    return position % 2 == 0 ? xe[position / 2] : xo[position / 2];
  };
  auto valueAt = [&](int32_t position) { return position % 2 == 0 ? ye[position / 2] : 0.0; };
  if (taken == 1 && from == 2 && count == 1) {
    // Only the first input: the newest is x[11].
    for (int32_t k = 0; k < kConverterHistoryLength; ++k) {
      StoreHistorySlot(converter, k, x[1 + k], k % 2 == 0 ? 0.0 : y[1 + k]);
    }
  } else {
    for (int32_t k = 0; k < kConverterHistoryLength; ++k) {
      StoreHistorySlot(converter, k, inputAt(last - 10 + k), valueAt(last - 10 + k));
    }
  }
  converter->oldest = 0;
  converter->previousValue = converter->outputHistory[9];
  converter->currentValue = converter->outputHistory[10];
  // An even number of inputs since the last stretch started at phase 0 ends at phase 0.
  converter->phase = (count - (from - 1)) % 2 == 0 ? 0 : 8000;
  return produced;
}

int32_t ConvertBlockFrom22050(RateConverter* converter, const int16_t* samples, int32_t count,
                              int16_t* output) {
  return FilterBlock(converter, kLowpass22050, 22050, samples, count, output);
}

int32_t ConvertBlockFrom44100(RateConverter* converter, const int16_t* samples, int32_t count,
                              int16_t* output) {
  return FilterBlock(converter, kLowpass44100, 44100, samples, count, output);
}

int32_t ConvertBlockFrom48000(RateConverter* converter, const int16_t* samples, int32_t count,
                              int16_t* output) {
  return FilterBlock(converter, kLowpass48000, 48000, samples, count, output);
}
