#include "win_tool/tool_name.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>

#include "win_tool/tool_limits.h"

TEST(ToolName, DropsTheFolderAndOneTrailingExeInAnyCase) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"C:\\Program Files (x86)\\Kit\\Prunell.exe", L"Prunell"},
      {L"C:/tools/Vaultsweep.exe", L"Vaultsweep"},
      {L"C:\\mixed/seps\\Prunell.exe", L"Prunell"},
      {L"C:\\KIT\\PRUNELL.EXE", L"PRUNELL"},
      {L"C:\\kit\\Prunell.ExE", L"Prunell"},
      {L"C:\\kit\\Prunell.tool", L"Prunell.tool"},
      {L"C:\\kit\\Prunell.exe.old", L"Prunell.exe.old"},
      {L"C:\\kit\\Prunellexe", L"Prunellexe"},
      {L"Prunell.exe", L"Prunell"},
      {L".exe", L""},
      {L"C:\\a.exe\\b.exe.exe", L"b.exe"},
  };
  for (auto [path, name] : cases) EXPECT_EQ(std::wstring(StripToolName(path.data())), name);

  wchar_t module[MAX_PATH];
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  const std::wstring path = module;
  const size_t start = path.find_last_of(L"\\/") + 1;
  wchar_t buffer[kPathChars];
  EXPECT_EQ(GetToolName(buffer), buffer);
  EXPECT_EQ(std::wstring(buffer), path.substr(start, path.size() - start - 4));
}
