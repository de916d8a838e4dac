#include "plot_paths.h"

#include <sys/stat.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string_view>
#include <system_error>
#include <tuple>
#include <utility>

#include "report_format.h"
#include "trace_csv.h"

namespace fs = std::filesystem;

namespace {

// What one output option writes: its name, its files' extension and what they hold.
struct OutputKind {
  const char* option;     // "--plot"
  const char* extension;  // ".svg"
  const char* contents;   // "plots", for messages
  const char* stem;       // "plot", for an input whose name has none
  const char* what;       // "an SVG plot", for messages
  // How such a file begins (after a byte-order mark and white space); one of these.
  std::vector<std::string_view> beginnings;
};

bool HasExtension(const std::string& path, const std::string& extension) {
  const std::string found = fs::path(path).extension().string();
  std::string upper = extension;
  for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
  return found == extension || found == upper;
}

// True when the file at path holds something other than what the option writes: an earlier
// output, or an empty file, may be replaced; anything else was not made by the option.
bool HoldsSomethingElse(const OutputKind& kind, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char head[64];
  in.read(head, sizeof head);
  std::string_view text(head, size_t(in.gcount()));
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  for (std::string_view beginning : kind.beginnings) {
    if (text.starts_with(beginning)) return false;
  }
  return true;
}

// An output replaces whatever its path names, so it must name neither an input (compared by
// device and inode, which no spelling of the path, link or "../" hides) nor any other file
// that the option did not write: "--plot take1.wav take2.wav" is a slip, not a request.
std::string OutputRefusal(const OutputKind& kind, const std::string& option,
                          const std::vector<std::string>& files,
                          const std::vector<std::string>& inputs) {
  std::map<std::pair<dev_t, ino_t>, const std::string*> outputs;
  for (const std::string& file : files) {
    struct stat status;
    if (::stat(file.c_str(), &status) == 0) {
      outputs.emplace(std::pair(status.st_dev, status.st_ino), &file);
    }
  }
  const std::string named = std::string(kind.option) + " " + PrintableName(option);
  for (const std::string& input : inputs) {
    struct stat status;
    if (outputs.empty() || ::stat(input.c_str(), &status) != 0) continue;
    const auto found = outputs.find({status.st_dev, status.st_ino});
    if (found == outputs.end()) continue;
    return named + ": " + PrintableName(*found->second) + " is the input file " +
           PrintableName(input) + "; nothing was written";
  }
  for (const auto& [identity, file] : outputs) {
    if (HoldsSomethingElse(kind, *file)) {
      return named + ": " + PrintableName(*file) + " exists and is not " + kind.what +
             "; nothing was written";
    }
  }
  return {};
}

// A device, an inode and, for a directory entry, a name.
using FileKey = std::tuple<dev_t, ino_t, std::string>;

// The keys under which two outputs would meet: the file the path names now, if any, and the
// entry in its folder that a write replaces, which a file not yet written is known by.
std::vector<FileKey> OutputKeys(const std::string& path) {
  std::vector<FileKey> keys;
  struct stat status;
  if (::stat(path.c_str(), &status) == 0) keys.emplace_back(status.st_dev, status.st_ino, "");
  const fs::path file(path);
  const std::string folder = file.has_parent_path() ? file.parent_path().string() : ".";
  if (file.has_filename() && ::stat(folder.c_str(), &status) == 0) {
    keys.emplace_back(status.st_dev, status.st_ino, file.filename().string());
  }
  return keys;
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
    return OutputRefusal(kind, option, files, inputs);
  }
  const std::string named = std::string(kind.option) + " " + PrintableName(option);
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
  return OutputRefusal(kind, option, files, inputs);
}

}  // namespace

std::string PlotFilesFor(const std::string& plotOption, const std::vector<std::string>& inputs,
                         std::vector<std::string>& plotFiles) {
  return OutputFilesFor({"--plot", ".svg", "plots", "plot", "an SVG plot", {"<?xml", "<svg"}},
                        plotOption, inputs, plotFiles);
}

std::string TraceFilesFor(const std::string& traceOption, const std::vector<std::string>& inputs,
                          std::vector<std::string>& traceFiles) {
  return OutputFilesFor({"--trace", ".csv", "traces", "trace", "a trace", {kTraceCsvFirstColumns}},
                        traceOption, inputs, traceFiles);
}

std::string TraceAndPlotClash(const std::string& traceOption,
                              const std::vector<std::string>& traceFiles,
                              const std::vector<std::string>& plotFiles) {
  std::map<FileKey, const std::string*> plots;
  for (const std::string& plot : plotFiles) {
    for (FileKey& key : OutputKeys(plot)) plots.emplace(std::move(key), &plot);
  }
  for (const std::string& trace : traceFiles) {
    for (const FileKey& key : OutputKeys(trace)) {
      const auto found = plots.find(key);
      if (found == plots.end()) continue;
      return "--trace " + PrintableName(traceOption) + ": " + PrintableName(trace) +
             " is the plot file " + PrintableName(*found->second) + "; nothing was written";
    }
  }
  return {};
}
