#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// Rewrites the Linkport.ini at path in place, pruned and normalised (see PruneLinkportText).
// A missing file, a folder, a read-only file, a file of 3 bytes or fewer, one without the
// byte-order mark FF FE, or one whose text holds a NUL code unit is left untouched; so is the
// file if the new content cannot be written completely. Nothing is reported.
void PruneLinkportIni(const wchar_t* path);

// Reads a UTF-16LE text file that starts with the byte-order mark FF FE.
// Without a buffer: returns the number of code units behind the mark, floor(size / 2) - 1.
// With a buffer of capacity + 1 code units: reads at most capacity code units of text into it,
// terminates them and returns how many were read; a file that grew since it was measured is
// not read past capacity, one that shrank yields what it still holds.
// Returns 0 if the file cannot be opened, holds fewer than two bytes, or lacks the mark.
long ReadWideTextFile(const wchar_t* path, wchar_t* buffer, long capacity);

// Replaces the file at path with the byte-order mark FF FE followed by the length code units of
// text. The new content goes to a temporary file in the same folder first, every write is
// checked and flushed, and only then does it take the original's place; the original's hidden,
// system and archive attributes carry over. Returns false on any failure, and then the
// original is as it was and no temporary file remains.
bool ReplaceWideTextFile(const wchar_t* path, DWORD originalAttributes, const wchar_t* text,
                         size_t length);

// The pruning of a Linkport.ini text, without the file: splits text (terminated; modified in
// place) into lines at runs of CR and LF, trims each line's blanks, drops the lines that start
// with "QRX_libUart", collapses tab runs, drops exact repeats, and returns the remaining valid
// device lines in order of first occurrence, each followed by CR LF.
std::wstring PruneLinkportText(wchar_t* text);

// True if line is a valid Linkport device line: at least four tab-separated fields (runs of
// tabs are one separator, leading tabs are skipped), an allowed sampling rate in field 3, an
// allowed baud rate in field 4 and a count of 1 to 8 in field 5 (1 when absent). Numbers are
// read the way _wtoi reads them. Fields from the sixth on are not examined. line is unchanged.
bool IsDeviceLine(const wchar_t* line);
