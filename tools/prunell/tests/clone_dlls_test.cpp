// Which names are clones is checked on the installed layout by the end-to-end tests.
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
