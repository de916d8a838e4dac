#pragma once

// Which instruction sets the library's vector code uses, decided here and nowhere else.
//
// TESSEL_SSE2 (1 or 0): the lanes of fft/float_lanes.h and fft/wide_lanes.h, the pairs of
// resample/double_pair.h and the lag comparisons of pitch/lobe_peaks.cpp run in SSE2
// registers; otherwise the same statements run in plain C++, which give the same bits, as every
// lane is an ordinary IEEE operation.
//
// TESSEL_AVX2 (1 or 0): the 256-point transform is compiled for AVX2 as well, and taken where
// the processor has it; fft/real_fft_256.cpp makes that check, the only one made at run time.
// Only compilers for x86 processors build it.
//
// A build configured with TESSEL_SIMD=OFF defines TESSEL_PLAIN_CPP: the plain forms alone,
// whatever the processor, as on processors without SSE2.

#if defined(__SSE2__) && !defined(TESSEL_PLAIN_CPP)
#define TESSEL_SSE2 1
#else
#define TESSEL_SSE2 0
#endif

#if TESSEL_SSE2 && (defined(__x86_64__) || defined(__i386__))
#define TESSEL_AVX2 1
#else
#define TESSEL_AVX2 0
#endif
