#include "win_tool/tool_name.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "win_tool/tool_limits.h"

static std::wstring Stripped(const std::wstring& path) {
  wchar_t buffer[kPathChars];
  wcscpy(buffer, path.c_str());
  return StripToolName(buffer);
}

TEST(ToolName, DropsFolderAndExeExtension) {
  EXPECT_EQ(Stripped(L"C:\\Program Files (x86)\\Kit\\Prunell.exe"), L"Prunell");
  EXPECT_EQ(Stripped(L"C:/tools/Vaultsweep.exe"), L"Vaultsweep");
  EXPECT_EQ(Stripped(L"C:\\mixed/seps\\Prunell.exe"), L"Prunell");
}

TEST(ToolName, ExtensionInAnyCaseIsDropped) {
  EXPECT_EQ(Stripped(L"C:\\KIT\\PRUNELL.EXE"), L"PRUNELL");
  EXPECT_EQ(Stripped(L"C:\\kit\\Prunell.ExE"), L"Prunell");
}

TEST(ToolName, OtherExtensionsStayWhole) {
  EXPECT_EQ(Stripped(L"C:\\kit\\Prunell.tool"), L"Prunell.tool");
  EXPECT_EQ(Stripped(L"C:\\kit\\Prunell.exe.old"), L"Prunell.exe.old");
  EXPECT_EQ(Stripped(L"C:\\kit\\Prunellexe"), L"Prunellexe");
}

TEST(ToolName, NameWithoutFolderStaysWhole) {
  EXPECT_EQ(Stripped(L"Prunell.exe"), L"Prunell");
  EXPECT_EQ(Stripped(L".exe"), L"");
}

TEST(ToolName, OnlyTheLastDotExeIsCut) { EXPECT_EQ(Stripped(L"C:\\a.exe\\b.exe.exe"), L"b.exe"); }

TEST(ToolName, NamesTheRunningProgram) {
  wchar_t expected[MAX_PATH];
  GetModuleFileNameW(nullptr, expected, MAX_PATH);
  std::wstring path = expected;
  std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
  name.resize(name.size() - 4);
  wchar_t buffer[kPathChars];
  EXPECT_EQ(GetToolName(buffer), buffer);
  EXPECT_EQ(std::wstring(buffer), name);
  EXPECT_EQ(name, L"win_tool_tests");
}
