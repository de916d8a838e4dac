/*
 * Tessel: end-point detection and SNR estimation for 16-bit speech recordings.
 *
 * Calling convention: __cdecl on 32-bit Windows (the default of C compilers there), the
 * platform's C convention elsewhere. Every function is exported from Tessel.dll under its
 * undecorated name.
 *
 * Threads: the library starts no threads and takes no locks; every call runs on the
 * caller's thread. Calls on one context must be serialized by the host (one at a time, and
 * none after Tessel_Release). Different contexts share no data, so different contexts may be
 * driven from different threads at the same time. Tessel_GetSNR and Tessel_VerInfo may be
 * called from any thread at any time.
 *
 * Streaming: create a context for one input rate and frame size with Tessel_Init, push the
 * recording one input frame at a time with Tessel_AddSample, read the utterance with
 * Tessel_GetUttrEPD, and free the context with Tessel_Release. Positions are counted in input
 * samples from the first sample pushed after Tessel_Init or the last Tessel_Reset.
 */
#pragma once

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
 * Creates an end-point detection context.
 *
 * sampleRate: input rate in Hz. Valid values are 8000, 11025, 16000, 22050, 44100 and 48000.
 * frameSize:  input samples consumed by every Tessel_AddSample call: an even number from
 *             sampleRate / 100 to sampleRate / 50 (10 to 20 ms; integer divisions), whose
 *             length at 8000 Hz, frameSize * 8000 / sampleRate truncated and raised to even,
 *             is a multiple of 4. For example 160 or 80 at 8000 Hz, 220 at 11025 Hz, 320 at
 *             16000 Hz, 440 at 22050 Hz, 882 at 44100 Hz, 960 at 48000 Hz; 114 at 11025 Hz,
 *             226 at 22050 Hz and 492 at 48000 Hz are refused.
 *
 * Returns the context handle, or null for an unsupported rate, a refused frame size or a
 * failed allocation (nothing is left allocated then). The minimum detection threshold starts
 * at 156. Free the context with Tessel_Release.
 * Thread-safe: may be called from any thread; each context is then used by one call at a time.
 */
TESSEL_API void* TESSEL_CALL Tessel_Init(int32_t sampleRate, int32_t frameSize);

/*
 * Frees a context and everything it holds; the handle is invalid afterwards.
 * Returns 0, or -1 when context is null.
 * Not concurrently with any other call on the same context.
 */
TESSEL_API int32_t TESSEL_CALL Tessel_Release(void* context);

/*
 * Restarts the stream: forgets the utterance, the conversion state and a partly gathered
 * 8 kHz frame; positions count again from the next sample pushed. The rate, the frame size
 * and the threshold set with Tessel_SetVADThreshold stay. Returns 0, or -1 when context is null.
 * Not concurrently with any other call on the same context.
 */
TESSEL_API int32_t TESSEL_CALL Tessel_Reset(void* context);

/*
 * Pushes one input frame.
 *
 * samples: exactly frameSize signed 16-bit mono samples at sampleRate (the values given to
 *          Tessel_Init); the library only reads them.
 *
 * Returns 1 once an utterance end is known (and on every later call, until Tessel_Reset),
 * 0 otherwise, and -1 when context or samples is null (nothing changes then). After an end,
 * detection goes on: a later utterance moves the begin and, when it ends, the end.
 * Not concurrently with any other call on the same context; other contexts may run meanwhile.
 */
TESSEL_API int32_t TESSEL_CALL Tessel_AddSample(void* context, const int16_t* samples);

/*
 * Reads the current utterance.
 *
 * beginSample: receives the input sample at which the utterance begins, or -1 while no begin
 *              is known; may be null.
 * endSample:   receives the input sample at which it ends, or -1 while no end is known; may
 *              be null. The end is where one second without speech was complete, moved half
 *              a second back when the utterance lasted a second or more: usually about half
 *              a second after the last speech.
 *
 * Positions count input samples from the first sample pushed after Tessel_Init or the last
 * Tessel_Reset; a position beyond 2147483647 reads as 2147483647. Returns 0, or -1 when
 * context is null (nothing is written then).
 *
 * Precision: the context keeps the begin and the end as single-precision seconds, so a
 * position may be off by half a float step of its time, a step that doubles whenever the time
 * since the last reset doubles (0.24 ms after one hour, 3.9 ms after ten). Ten hours into a
 * stream at 8000 Hz, an utterance was read 8 and 15 samples away from where a fresh stream
 * reads the same audio. A host that listens for hours can call Tessel_Reset after each
 * utterance and add up the offsets itself.
 *
 * Not concurrently with any other call on the same context.
 */
TESSEL_API int32_t TESSEL_CALL Tessel_GetUttrEPD(void* context, int32_t* beginSample,
                                                 int32_t* endSample);

/*
 * Sets the detector's minimum energy threshold (default 156; unit: the detector's frame
 * energy: the mean square over 64 ms of the signal brought to 2000 Hz, DC removed and divided
 * by 16). Higher values ignore quieter speech. Any value is accepted; it takes effect from the
 * next frame analysed and stays in force after Tessel_Reset. The detector caps its threshold at
 * 16384, so every value of 16384 or more behaves the same. Returns 0, or -1 when context is
 * null.
 * Not concurrently with any other call on the same context.
 */
TESSEL_API int32_t TESSEL_CALL Tessel_SetVADThreshold(void* context, int32_t vadThreshold);

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
 * count > 0; nothing is written then. Returns 0 and writes 0, 0 and 0.0 dB (no speech
 * measurable) when the recording holds no frame (count <= 256), when the frame levels cannot
 * be stored, when every frame has the same level (a frame's level is its RMS, clamped to 10 ...
 * 32000: silence, a constant value, a steady square wave, anything quieter than an RMS of 10),
 * when no frame reaches the speech threshold, or when the speech span would be empty (one
 * frame, or only the last frame loud). Every other recording gets a span with
 * spanBegin < spanEnd.
 * The quantiser may write warnings to stderr; the estimate itself is unaffected.
 *
 * Precision: levels are summed in single precision, so on very long recordings the sums lose
 * their small terms: frames of level 100 with 100 frames of level 1000 among them give 19.91 dB
 * in a recording of 1000 frames and 19.40 dB in one of 2^23 frames (2^30 samples).
 *
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
