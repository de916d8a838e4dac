// Streams a second of silence through a context: no utterance may appear, and every streaming
// export must answer as tessel.h says.
#include <tessel.h>

#include <cstdio>
#include <cstring>
#include <vector>

int main() {
  void* context = Tessel_Init(16000, 320);
  if (context == nullptr) return 1;
  if (Tessel_SetVADThreshold(context, 200) != 0) return 2;
  const std::vector<int16_t> silence(320, 0);
  for (int frame = 0; frame < 50; ++frame) {
    if (Tessel_AddSample(context, silence.data()) != 0) return 3;
  }
  int32_t begin = 0;
  int32_t end = 0;
  if (Tessel_GetUttrEPD(context, &begin, &end) != 0 || begin != -1 || end != -1) return 4;
  if (Tessel_Reset(context) != 0 || Tessel_Release(context) != 0) return 5;
  const char* banner = Tessel_VerInfo();
  std::printf("cmake consumer: streamed 50 frames with %.*s\n", int(std::strcspn(banner, "\n")),
              banner);
  return 0;
}
