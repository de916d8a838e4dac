#include "prunell/prunell.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "tests/support/scoped_variable.h"
#include "tests/support/scratch_folder.h"

// ProgramFiles(x86) when defined, else ProgramFiles; nothing when the chosen one is missing,
// does not fit or is not an absolute folder.
TEST(ChooseBaseFolder, PrefersTheX86FolderAndRefusesWhatCannotBeABase) {
  const ScopedVariable x86(L"ProgramFiles(x86)");
  const ScopedVariable plain(L"ProgramFiles");
  using Value = std::optional<std::wstring>;
  const std::wstring longest = L"C:\\" + std::wstring(kPathChars - 4, L'x');
  const struct {
    Value x86, plain, chosen;
  } cases[] = {
      {L"C:\\Program Files (x86)", L"C:\\Program Files", L"C:\\Program Files (x86)"},
      {std::nullopt, L"D:\\Apps", L"D:\\Apps"},
      {std::nullopt, std::nullopt, std::nullopt},
      {L"C:\\" + std::wstring(kPathChars, L'x'), L"C:\\Program Files", std::nullopt},
      {longest, L"C:\\Program Files", longest},
      {L"", L"C:\\Program Files", std::nullopt},
      {L"Program Files", L"C:\\Program Files", std::nullopt},
      {L"C:", L"C:\\Program Files", std::nullopt},
      {L"C:Apps", L"C:\\Program Files", std::nullopt},
      {L"\\Apps", L"C:\\Program Files", std::nullopt},
      {L"..\\x", L"C:\\Program Files", std::nullopt},
      {L"\\\\server\\share", std::nullopt, L"\\\\server\\share"},
  };
  for (const auto& c : cases) {
    x86.Set(c.x86);
    plain.Set(c.plain);
    wchar_t base[kPathChars];
    const bool chosen = ChooseBaseFolder(base);
    EXPECT_EQ(chosen ? Value(base) : std::nullopt, c.chosen) << c.x86.value_or(L"(none)");
  }
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
