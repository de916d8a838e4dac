#pragma once

#include <set>
#include <string>

// A fresh folder below the temporary folder, removed with everything in it when the test ends.
class ScratchFolder {
 public:
  explicit ScratchFolder(const wchar_t* tag);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  // Path() joined with a relative path.
  std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

 private:
  std::wstring path_;
};

// Creates the folder and every missing folder above it.
bool MakeFolders(const std::wstring& path);
// Deletes a folder and everything below it, read-only files included.
void RemoveTree(const std::wstring& path);

bool WriteBytes(const std::wstring& path, const std::string& bytes);
// The file's bytes, or "<missing>" if it cannot be opened.
std::string ReadBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
// The names in a folder, without "." and "..".
std::set<std::wstring> Listing(const std::wstring& folder);
// The same absolute path with the prefix that lifts the path-length limit, for setting up and
// checking files whose paths the tools must refuse to compose.
std::wstring LongPath(const std::wstring& path);

// The bytes of a UTF-16LE file: the byte-order mark FF FE, then text.
std::string Utf16File(const std::wstring& text);
