#include "prunell/replace_wide_text_file.h"

#include <io.h>

#include <cstdio>
#include <cwchar>

#include "win_tool/tool_limits.h"

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
