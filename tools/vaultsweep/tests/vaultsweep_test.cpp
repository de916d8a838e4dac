#include "vaultsweep/vaultsweep.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/scratch_folder.h"

namespace {

class SweepVirtualStoreTest : public ::testing::Test {
 protected:
  ScratchFolder local_{L"store"};
  std::wstring store_ = local_ / L"VirtualStore\\Program Files (x86)";

  // Long paths throughout: the copies may lie beyond what the tool will compose.
  void Put(const std::wstring& relative) {
    const std::wstring path = LongPath(store_ + L"\\" + relative);
    ASSERT_TRUE(MakeFolders(path.substr(0, path.find_last_of(L'\\'))));
    ASSERT_TRUE(WriteBytes(path, Utf16File(L"[x]\r\n")));
  }
  bool Has(const std::wstring& relative) { return FileExists(LongPath(store_ + L"\\" + relative)); }
};

}  // namespace

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
