#pragma once

// Fills the kPathChars-character buffer with the program's own file name, without its folder
// and without a trailing ".exe" (any letter case), and returns the buffer.
wchar_t* GetToolName(wchar_t* buffer);

// The part of GetToolName that works on a module path held in buffer, in place.
wchar_t* StripToolName(wchar_t* buffer);
