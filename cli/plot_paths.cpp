#include "plot_paths.h"

#include <cctype>
#include <filesystem>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// What one output option writes: its name, its files' extension and what they hold.
struct OutputKind {
  const char* option;     // "--plot"
  const char* extension;  // ".svg"
  const char* contents;   // "plots", for messages
  const char* stem;       // "plot", for an input whose name has none
};

bool HasExtension(const std::string& path, const std::string& extension) {
  const std::string found = fs::path(path).extension().string();
  std::string upper = extension;
  for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
  return found == extension || found == upper;
}

std::string OutputFilesFor(const OutputKind& kind, const std::string& option,
                           const std::vector<std::string>& inputs,
                           std::vector<std::string>& files) {
  files.clear();
  std::error_code ec;
  const bool existingFolder = fs::is_directory(option, ec);
  const bool folder = existingFolder || inputs.size() > 1 || option.ends_with('/');
  if (!folder) {
    files.push_back(option);
    return {};
  }
  const std::string named = std::string(kind.option) + " " + option;
  if (!existingFolder && HasExtension(option, kind.extension)) {
    return named + ": several input files need a folder for their " + kind.contents;
  }
  fs::create_directories(option, ec);
  if (ec) return named + ": cannot create the folder: " + ec.message();

  // Inputs from different folders may share a name: later ones get -2, -3, ...
  std::set<std::string> used;
  for (const std::string& input : inputs) {
    std::string stem = fs::path(input).stem().string();
    if (stem.empty()) stem = kind.stem;
    std::string name = stem + kind.extension;
    for (int n = 2; used.count(name); ++n) name = stem + "-" + std::to_string(n) + kind.extension;
    used.insert(name);
    files.push_back((fs::path(option) / name).string());
  }
  return {};
}

}  // namespace

std::string PlotFilesFor(const std::string& plotOption, const std::vector<std::string>& inputs,
                         std::vector<std::string>& plotFiles) {
  return OutputFilesFor({"--plot", ".svg", "plots", "plot"}, plotOption, inputs, plotFiles);
}

std::string TraceFilesFor(const std::string& traceOption, const std::vector<std::string>& inputs,
                          std::vector<std::string>& traceFiles) {
  return OutputFilesFor({"--trace", ".csv", "traces", "trace"}, traceOption, inputs, traceFiles);
}
