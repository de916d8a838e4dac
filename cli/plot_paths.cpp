#include "plot_paths.h"

#include <filesystem>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool EndsWithSvg(const std::string& path) {
  const std::string extension = fs::path(path).extension().string();
  return extension == ".svg" || extension == ".SVG";
}

}  // namespace

std::string PlotFilesFor(const std::string& plotOption, const std::vector<std::string>& inputs,
                         std::vector<std::string>& plotFiles) {
  plotFiles.clear();
  std::error_code ec;
  const bool existingFolder = fs::is_directory(plotOption, ec);
  const bool folder = existingFolder || inputs.size() > 1 || plotOption.ends_with('/');
  if (!folder) {
    plotFiles.push_back(plotOption);
    return {};
  }
  if (!existingFolder && EndsWithSvg(plotOption)) {
    return "--plot " + plotOption + ": several input files need a folder for their plots";
  }
  fs::create_directories(plotOption, ec);
  if (ec) return "--plot " + plotOption + ": cannot create the folder: " + ec.message();

  // Inputs from different folders may share a name: later ones get -2, -3, ...
  std::set<std::string> used;
  for (const std::string& input : inputs) {
    std::string stem = fs::path(input).stem().string();
    if (stem.empty()) stem = "plot";
    std::string name = stem + ".svg";
    for (int n = 2; used.count(name); ++n) name = stem + "-" + std::to_string(n) + ".svg";
    used.insert(name);
    plotFiles.push_back((fs::path(plotOption) / name).string());
  }
  return {};
}
