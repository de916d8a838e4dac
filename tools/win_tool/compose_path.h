#pragma once

// Formats a path from a template whose only directives are "%s" (filled with first, then
// second) into a kPathChars-character buffer. Returns false, leaving out empty, if the result
// would not fit: a cut path could name another file.
bool ComposePath(wchar_t* out, const wchar_t* pathTemplate, const wchar_t* first,
                 const wchar_t* second = nullptr);
