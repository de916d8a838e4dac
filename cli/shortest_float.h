// The text std::to_chars writes for a float, for standard libraries whose to_chars takes no
// floating point (Emscripten's).
#pragma once

#include <string>

// The shortest decimal that reads back as the same float and, of those, the nearest to it, in
// printf's %e form ("2.956e+01"): the same value as std::to_chars's text, not the same text.
std::string ShortestFloatText(float value);
