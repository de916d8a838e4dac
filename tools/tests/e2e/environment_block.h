#pragma once

#include <map>
#include <string>

// An environment for a child process: starts as a copy of this process's environment; names
// compare without regard to case, as the platform compares them.
class EnvironmentBlock {
 public:
  EnvironmentBlock();
  void Set(const std::wstring& name, const std::wstring& value);
  void Remove(const std::wstring& name);
  // The block for CreateProcessW with CREATE_UNICODE_ENVIRONMENT: sorted "name=value" strings,
  // each terminated, and one more terminator at the end.
  std::wstring Block() const;

 private:
  struct NoCase {
    bool operator()(const std::wstring& a, const std::wstring& b) const;
  };
  std::map<std::wstring, std::wstring, NoCase> variables_;
};
