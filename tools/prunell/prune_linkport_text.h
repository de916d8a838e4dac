#pragma once

#include <string>

// The pruning of a Linkport.ini text, without the file: splits text (terminated; modified in
// place) into lines at runs of CR and LF, trims each line's blanks, drops the lines that start
// with "QRX_libUart", collapses tab runs, drops exact repeats, and returns the remaining valid
// device lines in order of first occurrence, each followed by CR LF.
std::wstring PruneLinkportText(wchar_t* text);
