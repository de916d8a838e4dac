// A Windows host as the recording application is one: it loads Tessel.dll at run time, looks
// the exports up by their undecorated names (check_pe.sh checks that the DLL exports exactly
// the .def file's), and compares what the whole-recording estimate and the streaming exports
// give (recordings at all six rates pushed frame by frame) with the golden files that the
// native build wrote.
#include <windows.h>

#include <gtest/gtest.h>

#include <tessel.h>
#include "golden_file.h"
#include "snr_recordings.h"
#include "stream_golden.h"
#include "tessel_library.h"

namespace {

TEST(WindowsHost, SnrMatchesNativeBitForBit) {
  ASSERT_NE(TesselLibrary(), nullptr) << "LoadLibraryW(Tessel.dll) failed: " << GetLastError();
  auto getSnr = TesselExport<decltype(&Tessel_GetSNR)>("Tessel_GetSNR");
  ASSERT_NE(getSnr, nullptr);
  GoldenMeasurements measured;
  testing::internal::CaptureStderr();
  for (const TestRecording& recording : SnrTestRecordings()) {
    measured.emplace_back(recording.name, MeasureSnr(getSnr, recording.samples));
  }
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(GoldenMismatches(GoldenDirectory() + "/snr.golden", measured), "");
}

TEST(WindowsHost, StreamingResultsMatchNativeBitForBit) {
  const stream_runner::Exports api = {
      TesselExport<decltype(&Tessel_Init)>("Tessel_Init"),
      TesselExport<decltype(&Tessel_Release)>("Tessel_Release"),
      TesselExport<decltype(&Tessel_Reset)>("Tessel_Reset"),
      TesselExport<decltype(&Tessel_AddSample)>("Tessel_AddSample"),
      TesselExport<decltype(&Tessel_GetUttrEPD)>("Tessel_GetUttrEPD"),
      TesselExport<decltype(&Tessel_SetVADThreshold)>("Tessel_SetVADThreshold")};
  ASSERT_TRUE(api.init && api.release && api.reset && api.addSample && api.getUttrEPD &&
              api.setVADThreshold);
  GoldenMeasurements measured;
  for (const stream_golden::Recording& recording : stream_golden::Recordings(TESSEL_SPEECH_WAV)) {
    ASSERT_FALSE(recording.samples.empty()) << recording.name << ": " << TESSEL_SPEECH_WAV;
    measured.emplace_back(recording.name, stream_golden::Measure(api, recording));
  }
  EXPECT_EQ(GoldenMismatches(GoldenDirectory() + "/stream.golden", measured), "");
}

}  // namespace
