#include "prunell/prunell.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "tests/support/scratch_folder.h"

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

TEST(CleanApplication, DeletesClonesThenPrunesTheIniInTheDllFolder) {
  ScratchFolder base(L"base");
  const std::wstring dll = base / L"Marloth\\Quorvane\\dll";
  ASSERT_TRUE(MakeFolders(dll));
  ASSERT_TRUE(WriteBytes(dll + L"\\QRX_libUart1.dll", "MZ"));
  ASSERT_TRUE(WriteBytes(dll + L"\\QRX_libAdb.dll", "MZ"));
  ASSERT_TRUE(
      WriteBytes(dll + L"\\Linkport.ini", Utf16File(L"QRX_libUart1.dll\tMic\t16000\t921600\n"
                                                    L"QRX_libAdb.dll\tPhone\t8000\t115200\n")));
  ASSERT_TRUE(WriteBytes(base / L"Marloth\\Quorvane\\Linkport.ini", Utf16File(L"[x]\n")));

  CleanApplication(base.Path().c_str(), L"Marloth\\Quorvane");
  EXPECT_FALSE(FileExists(dll + L"\\QRX_libUart1.dll"));
  EXPECT_TRUE(FileExists(dll + L"\\QRX_libAdb.dll"));
  EXPECT_EQ(ReadBytes(dll + L"\\Linkport.ini"),
            Utf16File(L"QRX_libAdb.dll\tPhone\t8000\t115200\r\n"));
  EXPECT_EQ(ReadBytes(base / L"Marloth\\Quorvane\\Linkport.ini"), Utf16File(L"[x]\n"));
}

TEST(CleanApplication, CloneWhosePathDoesNotFitIsSkippedNotCut) {
  ScratchFolder base(L"base");
  std::wstring app = L"App";
  while ((base.Path() + L"\\" + app + L"\\dll").size() < 230) app += L'a';
  const std::wstring dll = base / (app + L"\\dll");
  const std::wstring longClone = L"QRX_libUart" + std::wstring(40, L'x') + L".dll";
  ASSERT_TRUE(MakeFolders(dll));
  ASSERT_TRUE(WriteBytes(dll + L"\\QRX_libUart.dll", "MZ"));
  ASSERT_TRUE(WriteBytes(LongPath(dll + L"\\" + longClone), "MZ"));
  ASSERT_TRUE(WriteBytes(dll + L"\\Linkport.ini", Utf16File(L"[x]\n")));
  CleanApplication(base.Path().c_str(), app.c_str());
  EXPECT_FALSE(FileExists(dll + L"\\QRX_libUart.dll"));
  EXPECT_TRUE(FileExists(LongPath(dll + L"\\" + longClone)));
  EXPECT_EQ(ReadBytes(dll + L"\\Linkport.ini"), "\xFF\xFE");
}

TEST(PrunellUsage, LongestToolNameFitsWhole) {
  wchar_t usage[kUsageChars];
  const std::wstring name(kPathChars - 1, L'n');
  EXPECT_EQ(std::wstring(FormatPrunellUsage(usage, name.c_str())),
            L"Delete all the Linkport-clone DLLs in the application's dll folder, and remvoe lines "
            L"starting with \"QRX_libUart\" in Linkport.ini.\nUsage: " +
                name + L" <application>\nExample: " + name + L" \"Marloth\\Quorvane\"");
}
