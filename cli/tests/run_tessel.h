// Runs the built tessel program the way a user does and collects what it printed.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

struct TesselRun {
  int status = -1;
  std::string out;
  std::string err;

  std::vector<std::string> OutLines() const { return Lines(out); }
  std::vector<std::string> ErrLines() const { return Lines(err); }

  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
};

// A fresh folder per test for input files and captured output.
class TesselProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::path(testing::TempDir()) /
           (std::string("tessel_cli_") + info->test_suite_name() + "_" + info->name() + "_" +
            std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    if (!HasFailure()) std::filesystem::remove_all(dir_);
  }

  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

  static std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
  }

  // Arguments are quoted for the shell; stdout and stderr are kept apart. `setup` runs first
  // in the same shell (limits, for instance); `stdoutFile` takes stdout instead of the capture.
  TesselRun Run(const std::vector<std::string>& args, const std::string& setup = "",
                const std::string& stdoutFile = "") const {
    std::string command = setup + " exec " + Quote(TESSEL_PROGRAM);
    for (const auto& arg : args) command.append(" ").append(Quote(arg));
    command.append(" >").append(Quote(stdoutFile.empty() ? PathOf("stdout.txt") : stdoutFile));
    command.append(" 2>").append(Quote(PathOf("stderr.txt"))).append(" </dev/null");
    TesselRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadAll(PathOf("stdout.txt"));
    run.err = ReadAll(PathOf("stderr.txt"));
    return run;
  }

  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::filesystem::path dir_;
};
