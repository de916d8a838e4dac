#pragma once

#include <windows.h>

#include <cstddef>

// Replaces the file at path with the byte-order mark FF FE followed by the length code units of
// text. The new content goes to a temporary file in the same folder first, every write is
// checked and flushed, and only then does it take the original's place; the original's hidden,
// system and archive attributes carry over. Returns false on any failure, and then the
// original is as it was and no temporary file remains.
bool ReplaceWideTextFile(const wchar_t* path, DWORD originalAttributes, const wchar_t* text,
                         size_t length);
