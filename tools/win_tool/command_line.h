#pragma once

#include "win_tool/tool_limits.h"

// Returns a pointer to the first character of text that is neither a space nor a tab, and cuts
// trailing spaces and tabs by writing a terminator behind the last other character. Only space
// and tab count as blanks. Null in gives null out.
wchar_t* TrimBlanks(wchar_t* text);

// The application named on the command line: a folder relative to the program-files directory.
// Filled once before the tool's window exists and only read afterwards. Empty means that no
// application was named.
extern wchar_t AppName[kPathChars];

// Set when the command line named something that does not fit AppName. The job must then do
// nothing at all, not even show its usage message: a cut name could name another folder.
extern bool AppNameRefused;

// Takes the application name from the command-line tail, which it modifies in place: blanks
// around it are trimmed first, then every double quote is removed, so blanks inside quotes
// survive. Returns false, leaving appName empty, when the name does not fit appName.
bool FillAppName(wchar_t* appName, wchar_t* tail);

// True if name can safely stand for a folder below a base folder: not empty, shorter than a
// path buffer, no way out of the base (a leading separator, a drive, device or stream colon, a
// component of dots and spaces only such as ".."), no wildcard or other character that is never
// part of a file name. Sub-folders and inner spaces are fine.
bool IsSafeAppName(const wchar_t* name);

enum class AppNameUse { Missing, Refused, Usable };

// What a job may do with the name it was given: show its usage message, do nothing, or go on.
AppNameUse JudgeAppName(const wchar_t* appName, bool refused);
