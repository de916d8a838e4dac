#pragma once

#include <windows.h>

#include <optional>
#include <string>

// An environment variable of this process, changed with Set (nullopt removes it) and put back
// as it was when the object goes. Programs started meanwhile inherit what is set.
class ScopedVariable {
 public:
  explicit ScopedVariable(const wchar_t* name) : name_(name) {
    wchar_t value[32768];
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetEnvironmentVariableW(name, value, 32768);
    if (length != 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND) saved_.emplace(value, length);
  }
  ~ScopedVariable() { Set(saved_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

  void Set(const std::optional<std::wstring>& value) const {
    SetEnvironmentVariableW(name_, value ? value->c_str() : nullptr);
  }

 private:
  const wchar_t* name_;
  std::optional<std::wstring> saved_;
};
