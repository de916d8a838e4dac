#include "plot_paths.h"

#include <sys/stat.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string_view>
#include <system_error>
#include <utility>

#include "report_format.h"

namespace fs = std::filesystem;

namespace {

bool EndsWithSvg(const std::string& path) {
  const std::string extension = fs::path(path).extension().string();
  return extension == ".svg" || extension == ".SVG";
}

// True when the file at path holds something other than an SVG document: an earlier plot, or
// an empty file, may be replaced; anything else was not made by --plot.
bool HoldsSomethingElse(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char head[64];
  in.read(head, sizeof head);
  std::string_view text(head, size_t(in.gcount()));
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  return !text.empty() && !text.starts_with("<?xml") && !text.starts_with("<svg");
}

// A plot replaces whatever its path names, so it must name neither an input (compared by
// device and inode, which no spelling of the path, link or "../" hides) nor any other file
// that is not a plot: "--plot take1.wav take2.wav" is a slip, not a request.
std::string PlotRefusal(const std::string& plotOption, const std::vector<std::string>& plotFiles,
                        const std::vector<std::string>& inputs) {
  std::map<std::pair<dev_t, ino_t>, const std::string*> plots;
  for (const std::string& plot : plotFiles) {
    struct stat status;
    if (::stat(plot.c_str(), &status) == 0) {
      plots.emplace(std::pair(status.st_dev, status.st_ino), &plot);
    }
  }
  for (const std::string& input : inputs) {
    struct stat status;
    if (plots.empty() || ::stat(input.c_str(), &status) != 0) continue;
    const auto found = plots.find({status.st_dev, status.st_ino});
    if (found == plots.end()) continue;
    return "--plot " + PrintableName(plotOption) + ": " + PrintableName(*found->second) +
           " is the input file " + PrintableName(input) + "; nothing was written";
  }
  for (const auto& [identity, plot] : plots) {
    if (HoldsSomethingElse(*plot)) {
      return "--plot " + PrintableName(plotOption) + ": " + PrintableName(*plot) +
             " exists and is not an SVG plot; nothing was written";
    }
  }
  return {};
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
    return PlotRefusal(plotOption, plotFiles, inputs);
  }
  if (!existingFolder && EndsWithSvg(plotOption)) {
    return "--plot " + PrintableName(plotOption) +
           ": several input files need a folder for their plots";
  }
  fs::create_directories(plotOption, ec);
  if (ec) {
    return "--plot " + PrintableName(plotOption) + ": cannot create the folder: " + ec.message();
  }

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
  return PlotRefusal(plotOption, plotFiles, inputs);
}
