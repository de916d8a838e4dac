// Prunell.exe as a user or installer runs it: exact command lines, its own environment, the
// message box it shows, and the files it leaves.

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "tests/e2e/environment_block.h"
#include "tests/e2e/tool_files.h"
#include "tests/e2e/tool_run.h"
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

const std::set<std::wstring> kDllFilesBefore = {
    L"QRX_libAdb.dll",   L"QRX_LIBTR16DSP.DLL", L"qrx_libgpce4.dll",    L"QRX_libUart.dll",
    L"QRX_libUart3.dll", L"other.dll",          L"QRX_libUart.dll.bak", L"Linkport.ini"};
const std::set<std::wstring> kDllFilesAfter = {L"QRX_libAdb.dll",      L"QRX_LIBTR16DSP.DLL",
                                               L"qrx_libgpce4.dll",    L"other.dll",
                                               L"QRX_libUart.dll.bak", L"Linkport.ini"};

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::set<std::wstring> Listing(const std::wstring& folder) {
  std::set<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.insert(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

// The installed application's dll folder as the host's device module leaves it.
void PutApplication(const std::wstring& base, const std::wstring& app) {
  const std::wstring dll = base + L"\\" + app + L"\\dll";
  ASSERT_TRUE(MakeFolders(dll));
  for (const std::wstring& name : kDllFilesBefore) {
    ASSERT_TRUE(
        WriteBytes(dll + L"\\" + name, name == L"Linkport.ini" ? Utf16File(kIniBefore) : "MZ"));
  }
}

void ExpectCleaned(const std::wstring& base, const std::wstring& app) {
  const std::wstring dll = base + L"\\" + app + L"\\dll";
  EXPECT_EQ(Listing(dll), kDllFilesAfter) << dll;
  EXPECT_EQ(ReadBytes(dll + L"\\Linkport.ini"), Utf16File(kIniAfter)) << dll;
}

void ExpectUntouched(const std::wstring& base, const std::wstring& app) {
  const std::wstring dll = base + L"\\" + app + L"\\dll";
  EXPECT_EQ(Listing(dll), kDllFilesBefore) << dll;
  EXPECT_EQ(ReadBytes(dll + L"\\Linkport.ini"), Utf16File(kIniBefore)) << dll;
}

class PrunellEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FileExists(tool_)) << "copy of the built Prunell.exe";
    // 32-bit programs get ProgramFiles from ProgramFiles(x86), 64-bit ones from ProgramW6432.
    environment_.Set(L"ProgramFiles(x86)", x86_);
    environment_.Set(L"ProgramFiles", plain_);
    environment_.Set(L"ProgramW6432", plain_);
  }

  ToolRun RunLine(const std::wstring& commandLine, const std::wstring& program = L"") {
    ToolLaunch launch;
    launch.program = program.empty() ? tool_ : program;
    launch.commandLine = commandLine;
    launch.environment = &environment_;
    return RunTool(launch);
  }
  // The tool started by its quoted path, followed by tail exactly as given.
  ToolRun Run(const std::wstring& tail) { return RunLine(Quoted(tool_) + tail); }

  static void ExpectSilentExit(const ToolRun& run) {
    ASSERT_TRUE(run.started);
    EXPECT_FALSE(run.timedOut);
    EXPECT_TRUE(run.boxes.empty()) << (run.boxes.empty() ? std::wstring() : run.boxes[0].text);
    EXPECT_EQ(run.exitCode, 0u);
  }
  static void ExpectUsage(const ToolRun& run, const std::wstring& toolName) {
    ASSERT_TRUE(run.started);
    EXPECT_FALSE(run.timedOut);
    ASSERT_EQ(run.boxes.size(), 1u);
    const MessageBoxSeen& box = run.boxes[0];
    EXPECT_EQ(box.text, PrunellUsage(toolName));
    EXPECT_EQ(box.caption, L"Error");  // the platform's caption for a box given none
    EXPECT_EQ(box.buttonCount, 1);
    EXPECT_TRUE(box.hasOkButton);
    EXPECT_EQ(box.ownerClass, L"PRUNELL");
    EXPECT_EQ(box.ownerTitle, L"Prunell");
    EXPECT_FALSE(box.ownerVisible);
    EXPECT_EQ(run.exitCode, 0u);
  }

  ScratchFolder root_{L"prunell-e2e"};
  std::wstring tool_ = CopyTool(L"Prunell.exe", root_.Path(), L"Prunell.exe");
  std::wstring x86_ = root_ / L"pf86";
  std::wstring plain_ = root_ / L"pf";
  EnvironmentBlock environment_;
};

}  // namespace

TEST_F(PrunellEndToEnd, WithoutApplicationShowsUsageOwnedByItsHiddenWindow) {
  ExpectUsage(Run(L""), L"Prunell");
  ExpectUsage(Run(L" \t  "), L"Prunell");
  ExpectUsage(RunLine(tool_), L"Prunell");
}

TEST_F(PrunellEndToEnd, UsageNamesTheToolByItsFileName) {
  ASSERT_TRUE(MakeFolders(root_ / L"caps"));
  ASSERT_TRUE(MakeFolders(root_ / L"odd"));
  const std::wstring capitals = CopyTool(L"Prunell.exe", root_ / L"caps", L"PRUNELL.EXE");
  ExpectUsage(RunLine(Quoted(capitals), capitals), L"PRUNELL");
  const std::wstring odd = CopyTool(L"Prunell.exe", root_ / L"odd", L"Prunell.tool");
  ExpectUsage(RunLine(Quoted(odd), odd), L"Prunell.tool");
}

TEST_F(PrunellEndToEnd, QuotedAndUnquotedNameCleanTheSameApplication) {
  PutApplication(x86_, kApp);
  ExpectSilentExit(Run(L" \"Marloth\\Quorvane\""));
  ExpectCleaned(x86_, kApp);

  PutApplication(x86_, kApp);
  ExpectSilentExit(RunLine(tool_ + L" Marloth\\Quorvane"));
  ExpectCleaned(x86_, kApp);
}

TEST_F(PrunellEndToEnd, WholeTailIsOneNameWithoutItsOuterBlanksAndQuotes) {
  PutApplication(x86_, L"Two  Words\\App");
  ExpectSilentExit(Run(L" \t Two  Words\\App \t "));
  ExpectCleaned(x86_, L"Two  Words\\App");

  PutApplication(x86_, kApp);
  ExpectSilentExit(Run(L" Mar\"loth\\Quor\"vane\""));
  ExpectCleaned(x86_, kApp);
}

TEST_F(PrunellEndToEnd, QuotedBlanksAreANameNotAUsageRequest) {
  PutApplication(x86_, kApp);
  ExpectSilentExit(Run(L" \"  \""));
  ExpectUntouched(x86_, kApp);
}

TEST_F(PrunellEndToEnd, FallsBackToProgramFilesWithoutTheX86Variable) {
  environment_.Remove(L"ProgramFiles(x86)");
  environment_.Remove(L"ProgramW6432");
  PutApplication(plain_, kApp);
  PutApplication(x86_, kApp);
  ExpectSilentExit(Run(L" " + kApp));
  ExpectCleaned(plain_, kApp);
  ExpectUntouched(x86_, kApp);
}

TEST_F(PrunellEndToEnd, X86FolderIsTheBaseEvenWhenTheApplicationIsElsewhere) {
  PutApplication(plain_, kApp);
  ExpectSilentExit(Run(L" " + kApp));
  ExpectUntouched(plain_, kApp);
}

TEST_F(PrunellEndToEnd, WithoutProgramFilesVariablesNothingIsDone) {
  environment_.Remove(L"ProgramFiles(x86)");
  environment_.Remove(L"ProgramW6432");
  environment_.Remove(L"ProgramFiles");
  PutApplication(plain_, kApp);
  PutApplication(x86_, kApp);
  ExpectSilentExit(Run(L" " + kApp));
  ExpectUntouched(plain_, kApp);
  ExpectUntouched(x86_, kApp);
}

TEST_F(PrunellEndToEnd, RefusedNamesTouchNothingAndShowNothing) {
  PutApplication(x86_, kApp);
  ExpectSilentExit(Run(L" \"Other\\..\\Marloth\\Quorvane\""));
  ExpectSilentExit(Run(L" \"" + x86_ + L"\\Marloth\\Quorvane\""));
  ExpectSilentExit(Run(L" Marloth\\Quorvane\\*"));
  ExpectSilentExit(Run(L" " + kApp + std::wstring(260 - kApp.size(), L'\\')));
  ExpectUntouched(x86_, kApp);
}

TEST_F(PrunellEndToEnd, LongTailWithAShortNameIsTaken) {
  PutApplication(x86_, kApp);
  ExpectSilentExit(Run(std::wstring(300, L' ') + L"\"" + kApp + L"\"" + std::wstring(300, L'\t')));
  ExpectCleaned(x86_, kApp);
}

TEST_F(PrunellEndToEnd, MissingApplicationFolderIsNoError) {
  ExpectSilentExit(Run(L" Nobody\\Here"));
  EXPECT_FALSE(FileExists(x86_ + L"\\Nobody"));
}

TEST_F(PrunellEndToEnd, MenuCommandsHaveNoEffect) {
  ToolLaunch launch;
  launch.program = tool_;
  launch.commandLine = Quoted(tool_);
  launch.environment = &environment_;
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
  const ToolRun run = RunTool(launch);
  ExpectUsage(run, L"Prunell");
  EXPECT_TRUE(windowSurvived);
  EXPECT_EQ(dialogsAfterCommands, 1u);  // no About box beside the usage message
}
