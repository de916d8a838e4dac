#include "vaultsweep/sweep_virtual_store.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/scratch_folder.h"

namespace {

class SweepVirtualStoreTest : public ::testing::Test {
 protected:
  ScratchFolder local_{L"store"};
  std::wstring store_ = local_ / L"VirtualStore\\Program Files (x86)";

  // Long paths throughout: some tests need files whose paths the tool must refuse to compose.
  void Put(const std::wstring& relative) {
    const std::wstring path = LongPath(store_ + L"\\" + relative);
    ASSERT_TRUE(MakeFolders(path.substr(0, path.find_last_of(L'\\'))));
    ASSERT_TRUE(WriteBytes(path, Utf16File(L"[x]\r\n")));
  }
  bool Has(const std::wstring& relative) { return FileExists(LongPath(store_ + L"\\" + relative)); }
};

}  // namespace

TEST_F(SweepVirtualStoreTest, DeletesBothCopiesAndNothingElse) {
  for (const wchar_t* file : {L"Marloth\\Quorvane\\Linkport.ini", L"Marloth\\Quorvane\\dll\\Linkport.ini",
                              L"Marloth\\Quorvane\\other.ini", L"Marloth\\Quorvane\\dll\\QRX_libUart.dll",
                              L"Marloth\\Linkport.ini", L"Other\\Linkport.ini"}) {
    Put(file);
  }
  SweepVirtualStore(local_.Path().c_str(), L"Marloth\\Quorvane");
  EXPECT_FALSE(Has(L"Marloth\\Quorvane\\Linkport.ini"));
  EXPECT_FALSE(Has(L"Marloth\\Quorvane\\dll\\Linkport.ini"));
  EXPECT_TRUE(Has(L"Marloth\\Quorvane\\other.ini"));
  EXPECT_TRUE(Has(L"Marloth\\Quorvane\\dll\\QRX_libUart.dll"));
  EXPECT_TRUE(Has(L"Marloth\\Linkport.ini"));
  EXPECT_TRUE(Has(L"Other\\Linkport.ini"));
  // Folders stay, empty or not.
  EXPECT_TRUE(Has(L"Marloth\\Quorvane\\dll"));
}

TEST_F(SweepVirtualStoreTest, SecondCopyGoesWhenTheFirstIsMissing) {
  Put(L"App\\dll\\Linkport.ini");
  SweepVirtualStore(local_.Path().c_str(), L"App");
  EXPECT_FALSE(Has(L"App\\dll\\Linkport.ini"));
  EXPECT_TRUE(Has(L"App\\dll"));
}

TEST_F(SweepVirtualStoreTest, PathThatDoesNotFitIsSkippedNotCut) {
  // Only the longer dll-folder copy would overflow its buffer.
  std::wstring app = L"App";
  while ((store_ + L"\\" + app + L"\\Linkport.ini").size() < 257) app += L'a';
  Put(app + L"\\Linkport.ini");
  Put(app + L"\\dll\\Linkport.ini");
  SweepVirtualStore(local_.Path().c_str(), app.c_str());
  EXPECT_FALSE(Has(app + L"\\Linkport.ini"));
  EXPECT_TRUE(Has(app + L"\\dll\\Linkport.ini"));
}
