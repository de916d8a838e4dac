/* Estimates the SNR of a square-wave burst in a quiet recording: the span must be the burst
 * to within a few 128-sample frame steps. */
#include <stdio.h>
#include <string.h>
#include <tessel.h>

#define SAMPLES 16000

int main(void) {
  static int16_t recording[SAMPLES];
  for (int i = 0; i < SAMPLES; ++i) {
    const int inBurst = i >= 6000 && i < 10000;
    recording[i] = (int16_t)(inBurst ? ((i / 8) % 2 ? 8000 : -8000) : (i % 3) - 1);
  }
  int32_t begin = -1, end = -1;
  float snrDb = 0.0f;
  if (Tessel_GetSNR(recording, recording, SAMPLES, &begin, &end, &snrDb) != 0) return 1;
  if (begin < 5500 || begin > 6000 || end < 9700 || end > 10300 || snrDb < 20.0f) return 2;
  if (strncmp(Tessel_VerInfo(), "Tessel_Lib v", 12) != 0) return 3;
  printf("pkg-config consumer: speech %d to %d, SNR %.1f dB\n", (int)begin, (int)end, snrDb);
  return 0;
}
