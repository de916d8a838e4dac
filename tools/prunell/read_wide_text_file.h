#pragma once

// Reads a UTF-16LE text file that starts with the byte-order mark FF FE.
// Without a buffer: returns the number of code units behind the mark, floor(size / 2) - 1.
// With a buffer of capacity + 1 code units: reads at most capacity code units of text into it,
// terminates them and returns how many were read; a file that grew since it was measured is
// not read past capacity, one that shrank yields what it still holds.
// Returns 0 if the file cannot be opened, holds fewer than two bytes, or lacks the mark.
long ReadWideTextFile(const wchar_t* path, wchar_t* buffer, long capacity);
