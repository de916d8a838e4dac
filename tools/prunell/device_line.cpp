#include "prunell/device_line.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>

static constexpr int kSamplingRates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000};
static constexpr int kBaudRates[] = {115200, 460800, 921600, 1000000, 1200000, 1600000};
static constexpr int kMaxFields = 5;
static constexpr int kMinCount = 1;
static constexpr int kMaxCount = 8;

template <size_t N>
static bool IsOneOf(const int (&table)[N], int value) {
  return std::find(std::begin(table), std::end(table), value) != std::end(table);
}

bool IsDeviceLine(const wchar_t* line) {
  // Each field must end in a terminator before it is read: _wtoi skips leading white space,
  // tabs included, and would run on into the next field.
  std::wstring copy(line);
  wchar_t* fields[kMaxFields];
  int fieldCount = 0;
  wchar_t* c = copy.data();
  while (fieldCount < kMaxFields) {
    while (*c == L'\t') ++c;
    if (*c == L'\0') break;
    fields[fieldCount++] = c;
    while (*c != L'\0' && *c != L'\t') ++c;
    if (*c != L'\0') *c++ = L'\0';
  }
  if (fieldCount < 4) return false;

  const int samplingRate = _wtoi(fields[2]);
  const int baudRate = _wtoi(fields[3]);
  const int count = fieldCount == kMaxFields ? _wtoi(fields[4]) : 1;
  return IsOneOf(kSamplingRates, samplingRate) && count >= kMinCount && count <= kMaxCount &&
         IsOneOf(kBaudRates, baudRate);
}
