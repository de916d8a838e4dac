#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

// Golden files: one line per case, "<name> <field> <field> ...", fields as written by the
// native build. Floats are stored by their bits so that comparisons are exact.

using GoldenCases = std::map<std::string, std::vector<std::string>>;

GoldenCases ReadGoldenFile(const std::string& path);
bool WriteGoldenFile(const std::string& path, const std::vector<std::pair<std::string, std::vector<std::string>>>& cases);

// Directory of the golden files, as this build sees it (a wine path under Windows).
std::string GoldenDirectory();

// True when the native tests are asked to rewrite the golden files (TESSEL_UPDATE_GOLDEN=1).
bool UpdatingGoldenFiles();

std::string FloatBits(float value);  // "0x41ec7ae1"
