// Small formatting rules shared by the commands' text and JSON output.
#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "run_in_order.h"

// "1.234 s": seconds at the file's rate, to the millisecond.
std::string SecondsText(int64_t sample, int32_t sampleRate);

// A float as the shortest decimal that reads back as the same float (29.56, not
// 29.559999465942383), so JSON readers get exactly the library's value.
nlohmann::ordered_json JsonFloat(float value);

// Seconds for JSON: sample / rate in double.
double Seconds(int64_t sample, int32_t sampleRate);

// One JSON object on one line; bytes of file names that are not UTF-8 become U+FFFD
// replacement characters instead of stopping the program.
std::string JsonLine(const nlohmann::ordered_json& object);

// A file name for a line of text: unchanged, unless it holds a control character (a line
// feed would split the line); then in double quotes with C escapes: "a\nb.wav".
std::string PrintableName(const std::string& name);

// "NAME: warning: text" for stderr; empty when there is no warning.
std::string WarningLine(const std::string& path, const std::string& warning);

// What a file that failed reports: "NAME: reason" for stderr and, with json, the object
// {"file": name, "error": reason} in its place on stdout.
FileReport FailedFileReport(const std::string& path, const std::string& reason, bool json);
