/* A host linked the way MSVC links: against Tessel.lib, with no C runtime at all. The entry
 * point calls every export and returns 0, or the number of the first answer that is not what
 * tessel.h says. */
#include "burst_recording.h"

/* Code that uses floating point refers to this symbol; the C runtime would define it. */
int _fltused;

static int16_t recording[BURST_SAMPLES];

static int StartsWith(const char* text, const char* prefix) {
  while (*prefix != '\0') {
    if (*text++ != *prefix++) return 0;
  }
  return 1;
}

/* The loader calls the entry point with one argument, as a thread start routine. */
unsigned long __stdcall HostEntry(void* unused) {
  (void)unused;
  FillBurstRecording(recording);
  void* context = Tessel_Init(16000, 320);
  if (context == 0) return 1;
  if (Tessel_SetVADThreshold(context, 200) != 0) return 2;
  for (int frame = 0; frame < 10; ++frame) {
    if (Tessel_AddSample(context, recording + frame * 320) != 0) return 3;
  }
  int32_t begin = 0, end = 0;
  if (Tessel_GetUttrEPD(context, &begin, &end) != 0 || begin != -1 || end != -1) return 4;
  if (Tessel_Reset(context) != 0) return 5;
  float snrDb = 0.0f;
  if (Tessel_GetSNR(context, recording, BURST_SAMPLES, &begin, &end, &snrDb) != 0) return 6;
  if (!IsBurstEstimate(begin, end, snrDb)) return 7;
  if (!StartsWith(Tessel_VerInfo(), "Tessel_Lib v")) return 8;
  if (Tessel_Release(context) != 0 || Tessel_Release(0) != -1) return 9;
  return 0;
}
