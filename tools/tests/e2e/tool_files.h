#pragma once

#include <string>

// The tools as built, next to the test program.
std::wstring BuiltTool(const wchar_t* fileName);

// Copies a built tool into folder under the given file name and returns the copy's path.
std::wstring CopyTool(const wchar_t* builtName, const std::wstring& folder,
                      const std::wstring& fileName);

// The usage messages as the tools must show them for a tool named toolName.
std::wstring PrunellUsage(const std::wstring& toolName);
std::wstring VaultsweepUsage(const std::wstring& toolName);
