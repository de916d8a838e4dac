#include "prunell/linkport_ini.h"

#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <memory>
#include <new>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "win_tool/command_line.h"
#include "win_tool/tool_limits.h"

void PruneLinkportIni(const wchar_t* path) {
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return;
  }
  // A read-only file cannot be opened for writing, so it keeps its content; checked here so
  // that no file system or privilege decides otherwise.
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return;
  const long measured = ReadWideTextFile(path, nullptr, 0);
  if (measured <= 0) return;

  // The size comes from the file, so an allocation failure is a file we leave alone.
  std::unique_ptr<wchar_t[]> text(new (std::nothrow) wchar_t[size_t(measured) + 1]);
  if (!text) return;
  // The file may have changed since it was measured: only what this read delivers is used.
  const long length = ReadWideTextFile(path, text.get(), measured);
  if (length <= 0) return;
  // Everything behind a NUL would be lost as the text is split into lines.
  if (std::wmemchr(text.get(), L'\0', size_t(length)) != nullptr) return;

  const std::wstring output = PruneLinkportText(text.get());
  ReplaceWideTextFile(path, attributes, output.data(), output.size());
}

static_assert(sizeof(wchar_t) == 2, "the file's code units are read straight into wchar_t");

long ReadWideTextFile(const wchar_t* path, wchar_t* buffer, long capacity) {
  FILE* file = _wfopen(path, L"rb");
  if (file == nullptr) return 0;
  unsigned char mark[2];
  long count = 0;
  if (std::fread(mark, 1, 2, file) == 2 && mark[0] == 0xFF && mark[1] == 0xFE) {
    if (buffer == nullptr) {
      const long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
      count = size >= 2 ? size / 2 - 1 : 0;
    } else if (capacity > 0) {
      // Whole code units only: a last odd byte is left unread.
      count = long(std::fread(buffer, sizeof(wchar_t), size_t(capacity), file));
      buffer[count] = L'\0';
    } else {
      buffer[0] = L'\0';
    }
  }
  std::fclose(file);
  return count;
}

// The folder that holds path: root folders keep their separator ("C:\", "\").
static bool FolderOf(const wchar_t* path, wchar_t* folder) {
  const size_t length = std::wcslen(path);
  if (length >= size_t(kPathChars)) return false;
  std::wmemcpy(folder, path, length + 1);
  wchar_t* separator = nullptr;
  for (wchar_t* c = folder; *c != L'\0'; ++c) {
    if (*c == L'\\' || *c == L'/') separator = c;
  }
  if (separator == nullptr) {
    std::wcscpy(folder, L".");
  } else if (separator == folder || separator[-1] == L':') {
    separator[1] = L'\0';
  } else {
    separator[0] = L'\0';
  }
  return true;
}

static bool WriteUnits(const wchar_t* path, const wchar_t* text, size_t length) {
  FILE* file = _wfopen(path, L"wb");
  if (file == nullptr) return false;
  static const unsigned char kByteOrderMark[2] = {0xFF, 0xFE};
  bool written = std::fwrite(kByteOrderMark, 1, 2, file) == 2 &&
                 (length == 0 || std::fwrite(text, sizeof(wchar_t), length, file) == length);
  // The content must be on disk before the rename makes it the only copy.
  written = std::fflush(file) == 0 && _commit(_fileno(file)) == 0 && written;
  return std::fclose(file) == 0 && written;
}

bool ReplaceWideTextFile(const wchar_t* path, DWORD originalAttributes, const wchar_t* text,
                         size_t length) {
  wchar_t folder[kPathChars];
  wchar_t temporary[MAX_PATH];
  if (!FolderOf(path, folder) || GetTempFileNameW(folder, L"lpk", 0, temporary) == 0) {
    return false;
  }
  bool replaced = WriteUnits(temporary, text, length);
  if (replaced) {
    const DWORD kept = originalAttributes &
                       (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    if (kept != 0) SetFileAttributesW(temporary, kept);
    replaced = MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  }
  if (!replaced) DeleteFileW(temporary);
  return replaced;
}

static bool IsLineBreak(wchar_t c) { return c == L'\r' || c == L'\n'; }

// One left-to-right pass that replaces each pair of adjacent tabs by one tab (a found pair is
// consumed whole), closing the gap. A run of k tabs becomes ceil(k/2) tabs; repeat the pass
// until the length stops shrinking to leave single tabs. Returns text.
static wchar_t* CollapseTabs(wchar_t* text) {
  wchar_t* out = text;
  const wchar_t* in = text;
  while (*in != L'\0') {
    if (in[0] == L'\t' && in[1] == L'\t') {
      *out++ = L'\t';
      in += 2;
    } else {
      *out++ = *in++;
    }
  }
  *out = L'\0';
  return text;
}

static size_t CollapseAllTabRuns(wchar_t* line) {
  size_t length = std::wcslen(line);
  for (;;) {
    const size_t shorter = std::wcslen(CollapseTabs(line));
    if (shorter == length) return length;
    length = shorter;
  }
}

std::wstring PruneLinkportText(wchar_t* text) {
  // Lines stay where they were read; the table only points at them. It has no fixed size, so
  // no line is ever dropped for want of room.
  std::vector<const wchar_t*> keptLines;
  std::unordered_set<std::wstring_view> seen;

  wchar_t* c = text;
  for (;;) {
    while (IsLineBreak(*c)) ++c;
    if (*c == L'\0') break;
    wchar_t* line = c;
    while (*c != L'\0' && !IsLineBreak(*c)) ++c;
    if (*c != L'\0') *c++ = L'\0';

    wchar_t* trimmed = TrimBlanks(line);
    if (std::wcsncmp(trimmed, L"QRX_libUart", 11) == 0) continue;
    const size_t length = CollapseAllTabRuns(trimmed);
    if (seen.insert(std::wstring_view(trimmed, length)).second) keptLines.push_back(trimmed);
  }

  std::wstring output;
  for (const wchar_t* line : keptLines) {
    if (!IsDeviceLine(line)) continue;
    output += line;
    output += L"\r\n";
  }
  return output;
}

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
