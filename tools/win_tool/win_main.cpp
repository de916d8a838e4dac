// The frame both tools share: a hidden window whose creation queues the job, so that the job
// runs from inside the message loop, and a quit right after it.

#include <windows.h>

#include "win_tool/command_line.h"
#include "win_tool/resource_ids.h"
#include "win_tool/run_cleanup.h"

static constexpr UINT kRunCleanupMessage = WM_USER + 1;
static constexpr int kResourceTextChars = 100;

static LRESULT CALLBACK ToolWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      PostMessageW(window, kRunCleanupMessage, 0, 0);
      return 0;
    case kRunCleanupMessage:
      RunCleanup(window);
      // Posted, not DestroyWindow: the quit follows the job through the loop, and the platform
      // removes the window when the process ends.
      PostMessageW(window, WM_DESTROY, 0, 0);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandTail, int) {
  AppName[0] = L'\0';
  AppNameRefused = !FillAppName(AppName, commandTail);

  wchar_t title[kResourceTextChars];
  wchar_t className[kResourceTextChars];
  LoadStringW(instance, IDS_APP_TITLE, title, kResourceTextChars);
  LoadStringW(instance, IDC_TOOL, className, kResourceTextChars);

  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = ToolWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TOOL));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszMenuName = MAKEINTRESOURCEW(IDC_TOOL);
  windowClass.lpszClassName = className;
  windowClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SMALL));
  RegisterClassExW(&windowClass);

  HWND window = CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 0;

  // Whatever the caller asked for: the tool never shows its window.
  ShowWindow(window, SW_HIDE);
  UpdateWindow(window);

  HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDC_TOOL));
  MSG message = {};
  while (GetMessageW(&message, nullptr, 0, 0)) {
    if (!TranslateAcceleratorW(message.hwnd, accelerators, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return int(message.wParam);
}
