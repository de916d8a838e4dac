#include "tests/e2e/environment_block.h"

#include <windows.h>

#include <cwchar>

bool EnvironmentBlock::NoCase::operator()(const std::wstring& a, const std::wstring& b) const {
  return _wcsicmp(a.c_str(), b.c_str()) < 0;
}

EnvironmentBlock::EnvironmentBlock() {
  wchar_t* strings = GetEnvironmentStringsW();
  for (const wchar_t* entry = strings; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
    const std::wstring text = entry;
    // Entries such as "=C:=C:\dir" start with '='; their name runs to the second one.
    const size_t equals = text.find(L'=', 1);
    if (equals == std::wstring::npos) continue;
    variables_[text.substr(0, equals)] = text.substr(equals + 1);
  }
  FreeEnvironmentStringsW(strings);
}

void EnvironmentBlock::Set(const std::wstring& name, const std::wstring& value) {
  variables_.erase(name);
  variables_[name] = value;
}

void EnvironmentBlock::Remove(const std::wstring& name) { variables_.erase(name); }

std::wstring EnvironmentBlock::Block() const {
  std::wstring block;
  for (const auto& [name, value] : variables_) {
    block += name + L"=" + value;
    block += L'\0';
  }
  block += L'\0';
  return block;
}
