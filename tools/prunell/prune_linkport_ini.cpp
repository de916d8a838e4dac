#include "prunell/prune_linkport_ini.h"

#include <windows.h>

#include <cwchar>
#include <memory>
#include <new>
#include <string>

#include "prunell/prune_linkport_text.h"
#include "prunell/read_wide_text_file.h"
#include "prunell/replace_wide_text_file.h"

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
