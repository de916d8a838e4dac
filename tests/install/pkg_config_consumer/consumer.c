/* The whole-recording estimate's edges as tessel.h states them: a recording of 256 samples
 * holds no frame and measures as nothing, and a null handle is refused. */
#include <stdio.h>
#include <string.h>
#include <tessel.h>

int main(void) {
  static int16_t recording[256];
  int32_t begin = 7, end = 7;
  float snrDb = 7.0f;
  if (Tessel_GetSNR(recording, recording, 256, &begin, &end, &snrDb) != 0) return 1;
  if (begin != 0 || end != 0 || snrDb != 0.0f) return 2;
  if (Tessel_GetSNR(NULL, recording, 256, &begin, &end, &snrDb) != -1) return 3;
  const char* banner = Tessel_VerInfo();
  if (strncmp(banner, "Tessel_Lib v", 12) != 0) return 4;
  printf("pkg-config consumer: %.*s\n", (int)strcspn(banner, "\n"), banner);
  return 0;
}
