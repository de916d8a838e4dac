#include "golden_file.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

GoldenCases ReadGoldenFile(const std::string& path) {
  GoldenCases cases;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string name, field;
    fields >> name;
    std::vector<std::string>& values = cases[name];
    while (fields >> field) values.push_back(field);
  }
  return cases;
}

bool WriteGoldenFile(const std::string& path, const GoldenMeasurements& cases) {
  std::ofstream out(path);
  out << "# Written by the native build (TESSEL_UPDATE_GOLDEN=1); every build must reproduce it "
         "bit for bit.\n";
  for (const auto& [name, values] : cases) {
    out << name;
    for (const std::string& value : values) out << ' ' << value;
    out << '\n';
  }
  return static_cast<bool>(out);
}

std::string GoldenMismatches(const std::string& path, const GoldenMeasurements& measured) {
  GoldenCases golden = ReadGoldenFile(path);
  std::ostringstream mismatches;
  auto fields = [&](const std::vector<std::string>& values) {
    for (const std::string& value : values) mismatches << ' ' << value;
  };
  for (const auto& [name, values] : measured) {
    const auto found = golden.find(name);
    if (found == golden.end()) {
      mismatches << name << ": not in " << path << '\n';
      continue;
    }
    if (found->second != values) {
      mismatches << name << ": measured";
      fields(values);
      mismatches << ", in " << path;
      fields(found->second);
      mismatches << '\n';
    }
    golden.erase(found);
  }
  for (const auto& [name, values] : golden) mismatches << name << ": in " << path << " only\n";
  return mismatches.str();
}

std::string GoldenDirectory() { return TESSEL_GOLDEN_DIR; }

bool UpdatingGoldenFiles() {
  const char* flag = std::getenv("TESSEL_UPDATE_GOLDEN");
  return flag != nullptr && std::string(flag) == "1";
}

std::string FloatBits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  char text[16];
  std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(bits));
  return text;
}
