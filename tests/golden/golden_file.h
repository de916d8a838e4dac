#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

// Golden files: one line per case, "<name> <field> <field> ...", fields as written by the
// native build. Floats are stored by their bits so that comparisons are exact.

using GoldenCases = std::map<std::string, std::vector<std::string>>;
// Cases in the order they are written.
using GoldenMeasurements = std::vector<std::pair<std::string, std::vector<std::string>>>;

GoldenCases ReadGoldenFile(const std::string& path);
bool WriteGoldenFile(const std::string& path, const GoldenMeasurements& cases);

// Empty when the file at path holds exactly the measured cases; else a line for every case
// that is missing from it, differs or is not measured.
std::string GoldenMismatches(const std::string& path, const GoldenMeasurements& measured);

// Directory of the golden files, as this build sees it (a wine path under Windows).
std::string GoldenDirectory();

// True when the native tests are asked to rewrite the golden files (TESSEL_UPDATE_GOLDEN=1).
bool UpdatingGoldenFiles();

std::string FloatBits(float value);  // "0x41ec7ae1"
