// The streaming exports as a Windows host uses them: Tessel.dll loaded at run time, the six
// entry points looked up by name, recordings at all six rates pushed frame by frame, and
// everything the host saw compared with the golden file the native build wrote.
#include <gtest/gtest.h>
#include <windows.h>

#include <tessel.h>
#include "golden_file.h"
#include "stream_golden.h"
#include "tessel_library.h"

namespace {

TEST(WindowsStreamHost, StreamingResultsMatchNativeBitForBit) {
  ASSERT_NE(TesselLibrary(), nullptr) << "LoadLibraryW(Tessel.dll) failed: " << GetLastError();
  const stream_runner::Exports api = {
      TesselExport<decltype(&Tessel_Init)>("Tessel_Init"),
      TesselExport<decltype(&Tessel_Release)>("Tessel_Release"),
      TesselExport<decltype(&Tessel_Reset)>("Tessel_Reset"),
      TesselExport<decltype(&Tessel_AddSample)>("Tessel_AddSample"),
      TesselExport<decltype(&Tessel_GetUttrEPD)>("Tessel_GetUttrEPD"),
      TesselExport<decltype(&Tessel_SetVADThreshold)>("Tessel_SetVADThreshold")};
  ASSERT_TRUE(api.init && api.release && api.reset && api.addSample && api.getUttrEPD &&
              api.setVADThreshold);

  const std::string path = GoldenDirectory() + "/stream.golden";
  const GoldenCases golden = ReadGoldenFile(path);
  const std::vector<stream_golden::Recording> recordings =
      stream_golden::Recordings(TESSEL_SPEECH_WAV);
  ASSERT_EQ(recordings.size(), golden.size()) << path;
  for (const stream_golden::Recording& recording : recordings) {
    ASSERT_FALSE(recording.samples.empty()) << recording.name << ": " << TESSEL_SPEECH_WAV;
    ASSERT_TRUE(golden.count(recording.name)) << recording.name;
    EXPECT_EQ(golden.at(recording.name), stream_golden::Measure(api, recording)) << recording.name;
  }
}

TEST(WindowsStreamHost, NullHandlesAndRefusedArgumentsThroughTheDll) {
  auto init = TesselExport<decltype(&Tessel_Init)>("Tessel_Init");
  auto addSample = TesselExport<decltype(&Tessel_AddSample)>("Tessel_AddSample");
  auto getUttrEpd = TesselExport<decltype(&Tessel_GetUttrEPD)>("Tessel_GetUttrEPD");
  auto release = TesselExport<decltype(&Tessel_Release)>("Tessel_Release");
  ASSERT_TRUE(init && addSample && getUttrEpd && release);
  EXPECT_EQ(init(48000, 492), nullptr);
  EXPECT_EQ(init(12000, 240), nullptr);
  EXPECT_EQ(release(nullptr), -1);
  void* context = init(11025, 220);
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(addSample(context, nullptr), -1);
  int32_t begin = 0, end = 0;
  EXPECT_EQ(getUttrEpd(context, &begin, &end), 0);
  EXPECT_EQ(begin, -1);
  EXPECT_EQ(end, -1);
  EXPECT_EQ(release(context), 0);
}

}  // namespace
