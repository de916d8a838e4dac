#pragma once

// Fills base (kPathChars characters) with the program-files directory the application folders
// are named relative to: "%ProgramFiles(x86)%" if that variable is defined, otherwise
// "%ProgramFiles%". Returns false when neither is defined, or when the chosen one does not fit
// or does not expand to an absolute folder; the job must then do nothing.
bool ChooseBaseFolder(wchar_t* base);
