#include "report_format.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "shortest_float.h"

std::string SecondsText(int64_t sample, int32_t sampleRate) {
  char text[48];
  std::snprintf(text, sizeof text, "%.3f s", Seconds(sample, sampleRate));
  return text;
}

double Seconds(int64_t sample, int32_t sampleRate) { return double(sample) / sampleRate; }

nlohmann::ordered_json JsonFloat(float value) {
#ifdef __EMSCRIPTEN__
  return std::strtod(ShortestFloatText(value).c_str(), nullptr);
#else
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text - 1, value);
  *result.ptr = '\0';
  return std::strtod(text, nullptr);
#endif
}

std::string JsonLine(const nlohmann::ordered_json& object) {
  return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

std::string PrintableName(const std::string& name) {
  auto isControl = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; };
  bool plain = true;
  for (char c : name) plain = plain && !isControl(c);
  if (plain) return name;

  std::string quoted = "\"";
  for (char c : name) {
    switch (c) {
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\t':
        quoted += "\\t";
        break;
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      default:
        if (isControl(c)) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
          quoted += hex;
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "\"";
}

std::string WarningLine(const std::string& path, const std::string& warning) {
  return warning.empty() ? std::string() : PrintableName(path) + ": warning: " + warning;
}

FileReport FailedFileReport(const std::string& path, const std::string& reason, bool json) {
  FileReport report;
  report.error = PrintableName(path) + ": " + reason;
  if (json) report.output = JsonLine({{"file", path}, {"error", reason}});
  return report;
}
