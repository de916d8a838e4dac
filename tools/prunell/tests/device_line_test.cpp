#include "prunell/device_line.h"

#include <gtest/gtest.h>

#include <string>

TEST(IsDeviceLine, AcceptsEveryAllowedSamplingRate) {
  for (const wchar_t* rate :
       {L"8000", L"11025", L"16000", L"22050", L"32000", L"44100", L"48000"}) {
    EXPECT_TRUE(
        IsDeviceLine((std::wstring(L"QRX_libAdb.dll\tPhone\t") + rate + L"\t115200").c_str()))
        << rate;
  }
}

TEST(IsDeviceLine, RefusesOtherSamplingRates) {
  for (const wchar_t* rate : {L"12000", L"0", L"-8000", L"96000", L"7999", L"x8000", L""}) {
    EXPECT_FALSE(IsDeviceLine((std::wstring(L"a\tb\t") + rate + L"\t115200").c_str())) << rate;
  }
}

TEST(IsDeviceLine, AcceptsExactlyTheSixBaudRates) {
  for (const wchar_t* baud :
       {L"115200", L"460800", L"921600", L"1000000", L"1200000", L"1600000"}) {
    EXPECT_TRUE(IsDeviceLine((std::wstring(L"a\tb\t8000\t") + baud).c_str())) << baud;
  }
  for (const wchar_t* baud : {L"230400", L"9600", L"57600", L"2000000", L"0"}) {
    EXPECT_FALSE(IsDeviceLine((std::wstring(L"a\tb\t8000\t") + baud).c_str())) << baud;
  }
}

TEST(IsDeviceLine, CountIsOneToEightAndOneWhenAbsent) {
  EXPECT_TRUE(IsDeviceLine(L"a\tb\t8000\t115200"));
  EXPECT_TRUE(IsDeviceLine(L"a\tb\t8000\t115200\t1"));
  EXPECT_TRUE(IsDeviceLine(L"a\tb\t8000\t115200\t8"));
  EXPECT_FALSE(IsDeviceLine(L"a\tb\t8000\t115200\t0"));
  EXPECT_FALSE(IsDeviceLine(L"a\tb\t8000\t115200\t9"));
  EXPECT_FALSE(IsDeviceLine(L"a\tb\t8000\t115200\t-1"));
  EXPECT_FALSE(IsDeviceLine(L"a\tb\t8000\t115200\tmany"));
}

TEST(IsDeviceLine, ReadsNumbersLikeWtoi) {
  EXPECT_TRUE(IsDeviceLine(L"a\tb\t8000Hz\t115200"));
  EXPECT_TRUE(IsDeviceLine(L"a\tb\t 8000\t  115200baud\t+3"));
  EXPECT_TRUE(IsDeviceLine(L"a\tb\t+16000\t921600\t 2 boards"));
  EXPECT_FALSE(IsDeviceLine(L"a\tb\t16k\t921600"));
  EXPECT_FALSE(IsDeviceLine(L"a\tb\tHz8000\t921600"));
}

TEST(IsDeviceLine, BlankFieldDoesNotBorrowTheNextOne) {
  // A field of spaces reads as 0; the number behind the tab belongs to the next field.
  EXPECT_FALSE(IsDeviceLine(L"a\tb\t   \t8000\t115200"));
  EXPECT_FALSE(IsDeviceLine(L"a\tb\t8000\t115200\t  \t3"));
}

TEST(IsDeviceLine, NeedsFourFields) {
  EXPECT_FALSE(IsDeviceLine(L""));
  EXPECT_FALSE(IsDeviceLine(L"[Devices]"));
  EXPECT_FALSE(IsDeviceLine(L"a\t8000\t115200"));
  EXPECT_FALSE(IsDeviceLine(L"; a\tcomment"));
}

TEST(IsDeviceLine, TabRunsAndLeadingTabsSeparateFields) {
  EXPECT_TRUE(IsDeviceLine(L"\t\ta\t\t\tb\t8000\t\t115200\t"));
  EXPECT_FALSE(IsDeviceLine(L"\ta\t\t8000\t115200"));
}

TEST(IsDeviceLine, FieldsFromTheSixthOnAreIgnored) {
  EXPECT_TRUE(IsDeviceLine(L"a\tb\t8000\t115200\t2\tanything\tat all"));
  EXPECT_TRUE(IsDeviceLine(L"a\tb\t8000\t115200\t2\t99999"));
}

TEST(IsDeviceLine, LeavesTheLineUnchanged) {
  const std::wstring original = L"a\tb\t8000\t115200\t2\tx";
  std::wstring line = original;
  IsDeviceLine(line.c_str());
  EXPECT_EQ(line, original);
}
