/* The README's ten-line host, compiled as C: the public header must serve C callers. */
#include <stdio.h>
#include <tessel.h>

int main(void) {
  int16_t frame[320] = {0}; /* 20 ms at 16 kHz: fill each frame from the recorder */
  void* context = Tessel_Init(16000, 320);
  if (context == NULL) return 1;
  for (int i = 0; i < 500 && Tessel_AddSample(context, frame) == 0; ++i) { /* next frame */
  }
  int32_t begin, end;
  Tessel_GetUttrEPD(context, &begin, &end); /* input samples; -1 while unknown */
  printf("utterance: samples %d to %d\n", (int)begin, (int)end);
  return Tessel_Release(context);
}
