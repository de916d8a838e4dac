// Prunell.exe as a user or installer runs it: exact command lines, the program-files folder
// from its environment, the message box it shows, and the files it leaves in an installed
// application.

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "tests/e2e/tool_checks.h"
#include "tests/e2e/tool_files.h"
#include "tests/e2e/tool_run.h"
#include "tests/support/scoped_variable.h"
#include "tests/support/scratch_folder.h"

namespace {

const std::wstring kApp = L"Marloth\\Quorvane";

const std::wstring kIniBefore =
    L"[Devices]\r\n"
    L"QRX_libUart1.dll\tMic A\t16000\t921600\r\n"
    L"  QRX_libAdb.dll\t\tPhone\t8000\t115200\t2 \r\n"
    L"QRX_libAdb.dll\tPhone\t8000\t115200\t2\r\n"
    L"QRX_libGPCE4.dll\tBoard\t12000\t115200\r\n";
const std::wstring kIniAfter = L"QRX_libAdb.dll\tPhone\t8000\t115200\t2\r\n";

// The three DLLs that are not clones, in any letter case, and names outside the clone pattern.
const std::set<std::wstring> kDllFilesAfter = {
    L"QRX_libAdb.dll",      L"QRX_LIBTR16DSP.DLL", L"qrx_libgpce4.dll", L"other.dll",
    L"QRX_libUart.dll.bak", L"QRX_libUart.dllx",   L"QRX_lib.txt",      L"xQRX_libUart.dll",
    L"QRX_li.dll",          L"QRX_libAdb2.dl",     L"Linkport.ini"};
std::set<std::wstring> DllFilesBefore() {
  std::set<std::wstring> names = kDllFilesAfter;
  names.insert({L"QRX_libUart.dll", L"QRX_libUart3.dll", L"qrx_libuart7.DLL", L"QRX_lib.dll"});
  return names;
}

// The installed application as the host's device module leaves it, with a Linkport.ini beside
// the dll folder too, which is not Prunell's to touch.
void PutApplication(const std::wstring& base, const std::wstring& app) {
  const std::wstring dll = base + L"\\" + app + L"\\dll";
  ASSERT_TRUE(MakeFolders(dll));
  for (const std::wstring& name : DllFilesBefore()) {
    ASSERT_TRUE(
        WriteBytes(dll + L"\\" + name, name == L"Linkport.ini" ? Utf16File(kIniBefore) : "MZ"));
  }
  ASSERT_TRUE(WriteBytes(base + L"\\" + app + L"\\Linkport.ini", Utf16File(kIniBefore)));
}

void ExpectApplication(const std::wstring& base, const std::wstring& app, bool cleaned) {
  const std::wstring dll = base + L"\\" + app + L"\\dll";
  EXPECT_EQ(Listing(dll), cleaned ? kDllFilesAfter : DllFilesBefore()) << dll;
  EXPECT_EQ(ReadBytes(dll + L"\\Linkport.ini"), Utf16File(cleaned ? kIniAfter : kIniBefore));
  EXPECT_EQ(ReadBytes(base + L"\\" + app + L"\\Linkport.ini"), Utf16File(kIniBefore));
}

class PrunellEndToEnd : public ::testing::Test {
 protected:
  // The tool inherits these: 32-bit programs get ProgramFiles from ProgramFiles(x86), 64-bit
  // ones from ProgramW6432.
  void SetUp() override {
    ASSERT_TRUE(FileExists(tool_)) << "copy of the built Prunell.exe";
    x86Variable_.Set(x86_);
    plainVariable_.Set(plain_);
    w6432Variable_.Set(plain_);
  }

  ToolRun RunLine(const std::wstring& commandLine) {
    ToolLaunch launch;
    launch.program = tool_;
    launch.commandLine = commandLine;
    return RunTool(launch);
  }
  // The tool started by its quoted path, followed by tail exactly as given.
  ToolRun Run(const std::wstring& tail) { return RunLine(Quoted(tool_) + tail); }

  ScratchFolder root_{L"prunell-e2e"};
  std::wstring tool_ = CopyTool(L"Prunell.exe", root_.Path(), L"Prunell.exe");
  std::wstring x86_ = root_ / L"pf86";
  std::wstring plain_ = root_ / L"pf";
  ScopedVariable x86Variable_{L"ProgramFiles(x86)"};
  ScopedVariable plainVariable_{L"ProgramFiles"};
  ScopedVariable w6432Variable_{L"ProgramW6432"};
};

}  // namespace

TEST_F(PrunellEndToEnd, WithoutApplicationShowsUsageOwnedByItsHiddenWindow) {
  for (const std::wstring& commandLine : {Quoted(tool_), Quoted(tool_) + L" \t  ", tool_}) {
    ExpectUsage(RunLine(commandLine), PrunellUsage(L"Prunell"), L"Prunell", L"PRUNELL");
  }
}

TEST_F(PrunellEndToEnd, CleansTheNamedApplicationBelowTheX86Folder) {
  PutApplication(x86_, kApp);
  PutApplication(plain_, kApp);
  ExpectSilentExit(Run(L" \t \"Marloth\\Quorvane\" "));
  ExpectApplication(x86_, kApp, true);
  ExpectApplication(plain_, kApp, false);

  // The program's path unquoted, and the name too.
  PutApplication(x86_, kApp);
  ExpectSilentExit(RunLine(tool_ + L" Marloth\\Quorvane"));
  ExpectApplication(x86_, kApp, true);
}

TEST_F(PrunellEndToEnd, RefusedNamesTouchNothingAndShowNothing) {
  PutApplication(x86_, kApp);
  ExpectSilentExit(Run(L" \"Other\\..\\Marloth\\Quorvane\""));
  ExpectSilentExit(Run(L" " + kApp + std::wstring(260 - kApp.size(), L'\\')));
  ExpectApplication(x86_, kApp, false);
}

TEST_F(PrunellEndToEnd, MenuCommandsHaveNoEffect) {
  ToolLaunch launch;
  launch.program = tool_;
  launch.commandLine = Quoted(tool_);
  bool windowSurvived = false;
  size_t dialogsAfterCommands = 0;
  launch.whileBoxOpen = [&](HWND box, DWORD processId) {
    HWND window = GetWindow(box, GW_OWNER);
    DWORD_PTR result = 0;
    for (WPARAM command : {WPARAM(104), WPARAM(105)}) {
      SendMessageTimeoutW(window, WM_COMMAND, command, 0, SMTO_BLOCK, 5000, &result);
    }
    Sleep(200);
    windowSurvived = IsWindow(window) != FALSE;
    dialogsAfterCommands = DialogsOf(processId).size();
  };
  ExpectUsage(RunTool(launch), PrunellUsage(L"Prunell"), L"Prunell", L"PRUNELL");
  EXPECT_TRUE(windowSurvived);
  EXPECT_EQ(dialogsAfterCommands, 1u);  // no About box beside the usage message
}
