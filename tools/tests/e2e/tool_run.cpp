#include "tests/e2e/tool_run.h"

#include <algorithm>
#include <cwchar>

namespace {

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = L"";
  GetClassNameW(window, name, 256);
  return name;
}

// WM_GETTEXT is marshalled across processes, unlike a direct read of another process's text.
std::wstring TextOf(HWND window) {
  wchar_t text[4096] = L"";
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000,
                      &copied);
  return text;
}

struct Search {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectDialogs(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window) && ClassOf(window) == L"#32770") {
    search->found.push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK ReadControl(HWND control, LPARAM parameter) {
  auto* seen = reinterpret_cast<MessageBoxSeen*>(parameter);
  const std::wstring kind = ClassOf(control);
  if (_wcsicmp(kind.c_str(), L"Button") == 0) {
    ++seen->buttonCount;
    if (GetDlgCtrlID(control) == IDOK) seen->hasOkButton = true;
  } else if (_wcsicmp(kind.c_str(), L"Static") == 0) {
    // The icon's static has no text; the message is the one static that has.
    const std::wstring text = TextOf(control);
    if (!text.empty()) seen->text = text;
  }
  return TRUE;
}

MessageBoxSeen Read(HWND box) {
  MessageBoxSeen seen;
  // A box can turn visible a moment before its controls hold their text.
  for (int attempt = 0; attempt < 40 && seen.text.empty(); ++attempt) {
    if (attempt > 0) Sleep(25);
    seen = MessageBoxSeen();
    EnumChildWindows(box, ReadControl, reinterpret_cast<LPARAM>(&seen));
  }
  seen.caption = TextOf(box);
  if (HWND owner = GetWindow(box, GW_OWNER)) {
    seen.ownerClass = ClassOf(owner);
    seen.ownerTitle = TextOf(owner);
    seen.ownerVisible = IsWindowVisible(owner) != FALSE;
  }
  return seen;
}

}  // namespace

std::vector<HWND> DialogsOf(DWORD processId) {
  Search search{processId, {}};
  EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

ToolRun RunTool(const ToolLaunch& launch, DWORD timeoutMs) {
  ToolRun run;
  std::wstring commandLine = launch.commandLine;  // CreateProcessW may write to it
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  run.started = CreateProcessW(launch.program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                               0, nullptr, nullptr, &startup, &process) != FALSE;
  if (!run.started) return run;

  std::vector<HWND> answered;
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) {
    if (GetTickCount() - start > timeoutMs) {
      TerminateProcess(process.hProcess, 0xDEAD);
      WaitForSingleObject(process.hProcess, 5000);
      run.timedOut = true;
      break;
    }
    for (HWND box : DialogsOf(process.dwProcessId)) {
      if (std::find(answered.begin(), answered.end(), box) != answered.end()) continue;
      answered.push_back(box);
      run.boxes.push_back(Read(box));
      if (launch.whileBoxOpen) launch.whileBoxOpen(box, process.dwProcessId);
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    }
  }
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}
