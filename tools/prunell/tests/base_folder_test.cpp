#include "prunell/base_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "win_tool/tool_limits.h"

namespace {

std::optional<std::wstring> Variable(const wchar_t* name) {
  wchar_t value[32768];
  const DWORD length = GetEnvironmentVariableW(name, value, 32768);
  if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
  return std::wstring(value, length);
}

void SetVariable(const wchar_t* name, const std::optional<std::wstring>& value) {
  SetEnvironmentVariableW(name, value ? value->c_str() : nullptr);
}

// Each test sets the two variables as it needs them; the process's own come back afterwards.
class ChooseBaseFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedX86_ = Variable(L"ProgramFiles(x86)");
    saved_ = Variable(L"ProgramFiles");
  }
  void TearDown() override {
    SetVariable(L"ProgramFiles(x86)", savedX86_);
    SetVariable(L"ProgramFiles", saved_);
  }
  void Set(const std::optional<std::wstring>& x86, const std::optional<std::wstring>& plain) {
    SetVariable(L"ProgramFiles(x86)", x86);
    SetVariable(L"ProgramFiles", plain);
  }
  std::optional<std::wstring> Chosen() {
    wchar_t base[kPathChars];
    if (!ChooseBaseFolder(base)) return std::nullopt;
    return std::wstring(base);
  }

 private:
  std::optional<std::wstring> savedX86_;
  std::optional<std::wstring> saved_;
};

}  // namespace

TEST_F(ChooseBaseFolderTest, PrefersTheX86Folder) {
  Set(L"C:\\Program Files (x86)", L"C:\\Program Files");
  EXPECT_EQ(Chosen(), L"C:\\Program Files (x86)");
}

TEST_F(ChooseBaseFolderTest, FallsBackToProgramFiles) {
  Set(std::nullopt, L"D:\\Apps");
  EXPECT_EQ(Chosen(), L"D:\\Apps");
}

TEST_F(ChooseBaseFolderTest, NeitherDefinedMeansNoBase) {
  Set(std::nullopt, std::nullopt);
  EXPECT_EQ(Chosen(), std::nullopt);
}

TEST_F(ChooseBaseFolderTest, X86FolderThatDoesNotFitIsRefusedWithoutFallingBack) {
  Set(L"C:\\" + std::wstring(kPathChars, L'x'), L"C:\\Program Files");
  EXPECT_EQ(Chosen(), std::nullopt);
  const std::wstring longest = L"C:\\" + std::wstring(kPathChars - 4, L'x');
  Set(longest, L"C:\\Program Files");
  EXPECT_EQ(Chosen(), longest);
}

TEST_F(ChooseBaseFolderTest, EmptyOrRelativeFolderIsRefused) {
  for (const wchar_t* value : {L"", L"Program Files", L"C:", L"C:Apps", L"\\Apps", L"..\\x"}) {
    Set(value, L"C:\\Program Files");
    EXPECT_EQ(Chosen(), std::nullopt) << value;
  }
  Set(L"\\\\server\\share", std::nullopt);
  EXPECT_EQ(Chosen(), L"\\\\server\\share");
}
