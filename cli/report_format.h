// Small formatting rules shared by the commands' text and JSON output.
#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

// "1.234 s": seconds at the file's rate, to the millisecond.
std::string SecondsText(int64_t sample, int32_t sampleRate);

// A float as the shortest decimal that reads back as the same float (29.56, not
// 29.559999465942383), so JSON readers get exactly the library's value.
nlohmann::ordered_json JsonFloat(float value);

// Seconds for JSON: sample / rate in double.
double Seconds(int64_t sample, int32_t sampleRate);

// One JSON object on one line; file names that are not UTF-8 get replacement characters
// instead of stopping the program.
std::string JsonLine(const nlohmann::ordered_json& object);
