#pragma once

// Returns a pointer to the first character of text that is neither a space nor a tab, and cuts
// trailing spaces and tabs by writing a terminator behind the last other character. Only space
// and tab count as blanks. Null in gives null out.
wchar_t* TrimBlanks(wchar_t* text);
