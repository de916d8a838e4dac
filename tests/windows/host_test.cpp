// A Windows host as the recording application is one: it loads Tessel.dll at run time,
// looks every export up by its undecorated name and checks the results against the
// golden files that the native build wrote.
#include <windows.h>

#include <gtest/gtest.h>

#include <tessel.h>
#include "golden_file.h"
#include "snr_recordings.h"
#include "tessel_library.h"

namespace {

using GetSnrFunction = decltype(&Tessel_GetSNR);
using VerInfoFunction = decltype(&Tessel_VerInfo);

TEST(WindowsHost, LoadsTheLibraryAndFindsEveryExport) {
  ASSERT_NE(TesselLibrary(), nullptr) << "LoadLibraryW(Tessel.dll) failed: " << GetLastError();
  for (const char* name : {TESSEL_EXPORT_NAMES}) {
    EXPECT_NE(GetProcAddress(TesselLibrary(), name), nullptr) << name;
  }
}

TEST(WindowsHost, BannerFirstLine) {
  auto verInfo = TesselExport<VerInfoFunction>("Tessel_VerInfo");
  ASSERT_NE(verInfo, nullptr);
  const std::string banner = verInfo();
  EXPECT_EQ(banner.rfind("Tessel_Lib v1.0.0 (compiled at Sep 15 2017)\n", 0), 0u);
}

TEST(WindowsHost, SnrMatchesNativeBitForBit) {
  auto getSnr = TesselExport<GetSnrFunction>("Tessel_GetSNR");
  ASSERT_NE(getSnr, nullptr);
  const GoldenCases golden = ReadGoldenFile(GoldenDirectory() + "/snr.golden");
  ASSERT_FALSE(golden.empty());
  testing::internal::CaptureStderr();
  const std::vector<TestRecording> recordings = SnrTestRecordings();
  ASSERT_EQ(recordings.size(), golden.size());
  for (const TestRecording& recording : recordings) {
    int handle;
    int32_t begin = -1, end = -1;
    float snr = -1.0f;
    const int32_t result =
        getSnr(&handle, recording.samples.data(), static_cast<int32_t>(recording.samples.size()),
               &begin, &end, &snr);
    const std::vector<std::string> measured = {std::to_string(result), std::to_string(begin),
                                               std::to_string(end), FloatBits(snr)};
    ASSERT_TRUE(golden.count(recording.name)) << recording.name;
    EXPECT_EQ(golden.at(recording.name), measured) << recording.name;
  }
  testing::internal::GetCapturedStderr();
}

}  // namespace
