/* A MinGW host built against a release folder: tessel.h and libTessel.dll.a, with Tessel.dll
 * beside it at run time. Streams the start of a recording, then measures all of it; prints what
 * it found and exits 0 when every answer is as tessel.h says. */
#include <stdio.h>
#include <string.h>

#include "burst_recording.h"

int main(void) {
  static int16_t recording[BURST_SAMPLES];
  FillBurstRecording(recording);
  void* context = Tessel_Init(16000, 320);
  if (context == NULL) return 1;
  for (int frame = 0; frame < 10; ++frame) {
    if (Tessel_AddSample(context, recording + frame * 320) != 0) return 2;
  }
  int32_t begin = 0, end = 0;
  if (Tessel_GetUttrEPD(context, &begin, &end) != 0 || begin != -1 || end != -1) return 3;
  float snrDb = 0.0f;
  if (Tessel_GetSNR(context, recording, BURST_SAMPLES, &begin, &end, &snrDb) != 0) return 4;
  if (!IsBurstEstimate(begin, end, snrDb)) return 5;
  if (strncmp(Tessel_VerInfo(), "Tessel_Lib v", 12) != 0) return 6;
  if (Tessel_Release(context) != 0) return 7;
  printf("mingw host: speech %d to %d, SNR %.1f dB\n", (int)begin, (int)end, snrDb);
  return 0;
}
