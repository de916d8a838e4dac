#include "prunell/clone_dlls.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "prunell/clean_application.h"
#include "tests/support/scratch_folder.h"

namespace {

class DeleteCloneDllsTest : public ::testing::Test {
 protected:
  ScratchFolder folder_{L"dll"};
  std::wstring Put(const std::wstring& name) {
    const std::wstring path = folder_ / name;
    EXPECT_TRUE(WriteBytes(path, "MZ"));
    return path;
  }
  bool Has(const std::wstring& name) { return FileExists(folder_ / name); }
};

}  // namespace

TEST_F(DeleteCloneDllsTest, DeletesClonesInAnyCaseAndSparesTheThreeInAnyCase) {
  const wchar_t* spared[] = {L"QRX_LIBADB.DLL", L"qrx_libtr16dsp.dll", L"QRX_libGPCE4.dll"};
  const wchar_t* clones[] = {L"QRX_libUart.dll", L"qrx_libuart7.DLL", L"QRX_lib.dll"};
  for (const wchar_t* name : spared) Put(name);
  for (const wchar_t* name : clones) Put(name);
  DeleteCloneDlls(folder_.Path().c_str());
  for (const wchar_t* name : spared) EXPECT_TRUE(Has(name)) << name;
  for (const wchar_t* name : clones) EXPECT_FALSE(Has(name)) << name;
}

TEST_F(DeleteCloneDllsTest, FilesOutsideThePatternAreNotTouched) {
  const wchar_t* others[] = {L"Linkport.ini",     L"other.dll",     L"QRX_libUart.dll.bak",
                             L"QRX_libUart.dllx", L"QRX_lib.txt",   L"xQRX_libUart.dll",
                             L"QRX_li.dll",       L"QRX_libAdb2.dl"};
  for (const wchar_t* name : others) Put(name);
  DeleteCloneDlls(folder_.Path().c_str());
  for (const wchar_t* name : others) EXPECT_TRUE(Has(name)) << name;
}

TEST_F(DeleteCloneDllsTest, EntriesThatCannotBeDeletedStayAndTheRestGo) {
  ASSERT_TRUE(CreateDirectoryW((folder_ / L"QRX_libFolder.dll").c_str(), nullptr));
  Put(L"QRX_libLocked.dll");
  ASSERT_TRUE(
      SetFileAttributesW((folder_ / L"QRX_libLocked.dll").c_str(), FILE_ATTRIBUTE_READONLY));
  Put(L"QRX_libUart9.dll");
  DeleteCloneDlls(folder_.Path().c_str());
  EXPECT_TRUE(Has(L"QRX_libFolder.dll"));
  EXPECT_TRUE(Has(L"QRX_libLocked.dll"));
  EXPECT_FALSE(Has(L"QRX_libUart9.dll"));
}

TEST_F(DeleteCloneDllsTest, MissingFolderOrAFileInItsPlaceIsNothingToDo) {
  DeleteCloneDlls((folder_ / L"absent").c_str());
  const std::wstring file = Put(L"QRX_libUart.dll");
  DeleteCloneDlls(file.c_str());
  EXPECT_TRUE(Has(L"QRX_libUart.dll"));
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
