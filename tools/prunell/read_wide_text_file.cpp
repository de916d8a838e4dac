#include "prunell/read_wide_text_file.h"

#include <cstdio>

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
