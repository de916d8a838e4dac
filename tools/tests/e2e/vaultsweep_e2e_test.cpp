// Vaultsweep.exe against the real virtual store of the wine user: the copies it deletes and
// everything it must leave.

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <shlobj.h>

#include <string>

#include "tests/e2e/tool_checks.h"
#include "tests/e2e/tool_files.h"
#include "tests/e2e/tool_run.h"
#include "tests/support/scratch_folder.h"

namespace {

std::wstring VirtualStore() {
  wchar_t local[MAX_PATH] = L"";
  SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local);
  return std::wstring(local) + L"\\VirtualStore\\Program Files (x86)";
}

class VaultsweepEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FileExists(tool_)) << "copy of the built Vaultsweep.exe";
    wchar_t vendor[64];
    wsprintfW(vendor, L"TesselE2E-%lu-%lu", GetCurrentProcessId(), GetTickCount());
    vendor_ = vendor;
    app_ = vendor_ + L"\\Quorvane";
  }
  void TearDown() override { RemoveTree(store_ + L"\\" + vendor_); }

  std::wstring InStore(const std::wstring& relative) const { return store_ + L"\\" + relative; }
  void Put(const std::wstring& relative) {
    const std::wstring path = InStore(relative);
    ASSERT_TRUE(MakeFolders(path.substr(0, path.find_last_of(L'\\'))));
    ASSERT_TRUE(WriteBytes(path, Utf16File(L"[Devices]\r\n")));
  }
  bool Has(const std::wstring& relative) const { return FileExists(InStore(relative)); }

  ToolRun Run(const std::wstring& tail) {
    ToolLaunch launch;
    launch.program = tool_;
    launch.commandLine = Quoted(tool_) + tail;
    return RunTool(launch);
  }

  ScratchFolder root_{L"vaultsweep-e2e"};
  std::wstring tool_ = CopyTool(L"Vaultsweep.exe", root_.Path(), L"Vaultsweep.exe");
  std::wstring store_ = VirtualStore();
  std::wstring vendor_;
  std::wstring app_;
};

}  // namespace

TEST_F(VaultsweepEndToEnd, WithoutApplicationShowsUsageOwnedByItsHiddenWindow) {
  Put(app_ + L"\\Linkport.ini");
  ExpectUsage(Run(L""), VaultsweepUsage(L"Vaultsweep"), L"Vaultsweep", L"VAULTSWEEP");
  EXPECT_TRUE(Has(app_ + L"\\Linkport.ini"));
}

TEST_F(VaultsweepEndToEnd, DeletesBothCopiesAndNothingElseThenFindsNothing) {
  for (const std::wstring& file :
       {app_ + L"\\Linkport.ini", app_ + L"\\dll\\Linkport.ini", app_ + L"\\other.ini",
        app_ + L"\\dll\\QRX_libUart.dll", vendor_ + L"\\Linkport.ini",
        vendor_ + L"\\Other\\Linkport.ini"}) {
    Put(file);
  }
  ExpectSilentExit(Run(L" \"" + app_ + L"\""));
  EXPECT_FALSE(Has(app_ + L"\\Linkport.ini"));
  EXPECT_FALSE(Has(app_ + L"\\dll\\Linkport.ini"));
  EXPECT_TRUE(Has(app_ + L"\\other.ini"));
  EXPECT_TRUE(Has(app_ + L"\\dll\\QRX_libUart.dll"));
  EXPECT_TRUE(Has(vendor_ + L"\\Linkport.ini"));
  EXPECT_TRUE(Has(vendor_ + L"\\Other\\Linkport.ini"));

  ExpectSilentExit(Run(L" " + app_));
  EXPECT_TRUE(Has(app_ + L"\\other.ini"));
  EXPECT_TRUE(Has(app_ + L"\\dll"));
}

TEST_F(VaultsweepEndToEnd, SecondCopyGoesWhenTheFirstIsMissing) {
  Put(app_ + L"\\dll\\Linkport.ini");
  ExpectSilentExit(Run(L" " + app_));
  EXPECT_FALSE(Has(app_ + L"\\dll\\Linkport.ini"));
  EXPECT_TRUE(Has(app_ + L"\\dll"));  // folders stay
}

TEST_F(VaultsweepEndToEnd, RefusedNamesTouchNothingAndShowNothing) {
  Put(app_ + L"\\Linkport.ini");
  Put(app_ + L"\\dll\\Linkport.ini");
  ExpectSilentExit(Run(L" \"" + vendor_ + L"\\Other\\..\\Quorvane\""));
  ExpectSilentExit(Run(L" " + app_ + std::wstring(260 - app_.size(), L'\\')));
  EXPECT_TRUE(Has(app_ + L"\\Linkport.ini"));
  EXPECT_TRUE(Has(app_ + L"\\dll\\Linkport.ini"));
}
