#include "tests/e2e/tool_files.h"

#include <windows.h>

std::wstring BuiltTool(const wchar_t* fileName) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder = self;
  folder.resize(folder.find_last_of(L"\\/"));
  return folder + L"\\" + fileName;
}

std::wstring CopyTool(const wchar_t* builtName, const std::wstring& folder,
                      const std::wstring& fileName) {
  const std::wstring copy = folder + L"\\" + fileName;
  CopyFileW(BuiltTool(builtName).c_str(), copy.c_str(), FALSE);
  return copy;
}

// Written out independently of the tools' own formatting code.
std::wstring PrunellUsage(const std::wstring& toolName) {
  return L"Delete all the Linkport-clone DLLs in the application's dll folder, and remvoe lines "
         L"starting with \"QRX_libUart\" in Linkport.ini.\nUsage: " +
         toolName + L" <application>\nExample: " + toolName + L" \"Marloth\\Quorvane\"";
}

std::wstring VaultsweepUsage(const std::wstring& toolName) {
  return L"Delete Linkport.ini of the specified applicationin hidden in the virtual "
         L"store.\t\t\t\t\t\t"
         L"  \nUsage: " +
         toolName + L" <application>\nExample: " + toolName + L" Marloth\\Quorvane";
}
