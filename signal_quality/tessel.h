/*
 * Tessel: end-point detection and SNR estimation for 16-bit speech recordings.
 *
 * Calling convention: __cdecl on 32-bit Windows (the default of C compilers there), the
 * platform's C convention elsewhere. Every function is exported from Tessel.dll under its
 * undecorated name.
 *
 * Threads: the library starts no threads and takes no locks; every call runs on the
 * caller's thread. Tessel_GetSNR and Tessel_VerInfo may be called from any thread at any time.
 */
#ifndef TESSEL_H
#define TESSEL_H

#include <stdint.h>

#if defined(_WIN32)
#define TESSEL_CALL __cdecl
#else
#define TESSEL_CALL
#endif

/* On for the library's own build only; Windows exports come from Tessel.def. */
#if defined(TESSEL_BUILDING) && !defined(_WIN32)
#define TESSEL_API __attribute__((visibility("default")))
#else
#define TESSEL_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Estimates the speech span and the signal-to-noise ratio of a whole recording.
 *
 * handle:    any non-null pointer (a context from Tessel_Init serves); only tested against null.
 * samples:   count signed 16-bit samples, mono, at any sampling rate (the estimate uses none).
 * count:     number of samples. Frames of 256 samples start every 128 samples; a recording
 *            of 256 samples or fewer holds no frame.
 * spanBegin: receives the first sample of the first speech frame; may be null.
 * spanEnd:   receives the first sample of the frame just after the speech; may be null.
 * snrDb:     receives the speech level minus the noise level, in dB; may be null.
 *
 * Returns 0 on success. Returns -1 when handle is null, or when samples is null while
 * count > 0; nothing is written then. When the recording holds no frame (count <= 256) or
 * the frame levels cannot be stored, returns 0 and writes 0, 0 and 0.0 dB: no speech measurable.
 * The quantiser may write warnings to stderr; the estimate itself is unaffected.
 * Thread-safe: calls may run concurrently on any threads.
 */
TESSEL_API int32_t TESSEL_CALL Tessel_GetSNR(void* handle, const int16_t* samples, int32_t count,
                                             int32_t* spanBegin, int32_t* spanEnd, float* snrDb);

/*
 * Returns the library's version banner: a constant, NUL-terminated two-line text in static
 * storage (the same pointer on every call). Do not modify or free it. Thread-safe.
 */
TESSEL_API const char* TESSEL_CALL Tessel_VerInfo(void);

#ifdef __cplusplus
}
#endif

#endif /* TESSEL_H */
