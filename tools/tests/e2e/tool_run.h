#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// What one message box of a tool showed.
struct MessageBoxSeen {
  std::wstring caption;
  std::wstring text;
  int buttonCount = 0;
  bool hasOkButton = false;
  std::wstring ownerClass;  // empty when the box has no owner
  std::wstring ownerTitle;
  bool ownerVisible = false;
};

struct ToolRun {
  bool started = false;
  bool timedOut = false;
  DWORD exitCode = 0xFFFFFFFF;
  std::vector<MessageBoxSeen> boxes;
};

struct ToolLaunch {
  std::wstring program;      // full path of the executable
  std::wstring commandLine;  // the exact command line the tool receives
  // Called once per message box while it is still open, before OK is pressed.
  std::function<void(HWND box, DWORD processId)> whileBoxOpen;
};

// Starts the tool with this process's environment, answers every message box it shows with OK
// (recording what it showed), and waits for the process to end. A tool that has not ended after
// timeoutMs is terminated.
ToolRun RunTool(const ToolLaunch& launch, DWORD timeoutMs = 20000);

// The visible top-level dialog-class windows (message boxes, dialogs) of a process.
std::vector<HWND> DialogsOf(DWORD processId);
