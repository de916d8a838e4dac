#include "report_format.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

std::string SecondsText(int64_t sample, int32_t sampleRate) {
  char text[48];
  std::snprintf(text, sizeof text, "%.3f s", Seconds(sample, sampleRate));
  return text;
}

double Seconds(int64_t sample, int32_t sampleRate) { return double(sample) / sampleRate; }

nlohmann::ordered_json JsonFloat(float value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text - 1, value);
  *result.ptr = '\0';
  return std::strtod(text, nullptr);
}

std::string JsonLine(const nlohmann::ordered_json& object) {
  return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}
