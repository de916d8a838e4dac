#include "prunell/clone_dlls.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

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
