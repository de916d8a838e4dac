#pragma once

// Removes every double quote from text in place, closing the gaps, and returns text.
// Null in gives null out.
wchar_t* RemoveQuotes(wchar_t* text);
