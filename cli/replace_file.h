// Writing a file so that readers see either the old contents or the complete new ones.
#pragma once

#include <string>

// Writes `contents` to a new file in the folder of `path`, then renames it over `path`. On any
// failure whatever was at `path` stays as it was and the new file is removed. Returns an empty
// string, or the system's reason.
std::string ReplaceFileContents(const std::string& path, const std::string& contents);
