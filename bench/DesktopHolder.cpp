// Keeps the desktop of the Wine session up while the benchmark runs, as it
// always is on Windows: a hidden window that waits for its quit event.
//   DesktopHolder.exe        holds until DesktopHolder.exe stop
//   DesktopHolder.exe stop   ends the holder
#include <windows.h>

namespace {

const wchar_t kQuitEvent[] = L"PostwrightBenchDesktopHolderQuit";

LRESULT WINAPI HolderProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  HANDLE quit = CreateEventW(nullptr, TRUE, FALSE, kQuitEvent);
  if (!quit) return 1;
  if (command_line && lstrcmpA(command_line, "stop") == 0) {
    const BOOL set = SetEvent(quit);
    CloseHandle(quit);
    return set ? 0 : 1;
  }
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = HolderProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = L"PostwrightBenchDesktopHolder";
  if (!RegisterClassW(&window_class)) return 1;
  HWND window = CreateWindowExW(0, window_class.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 1, 1, nullptr, nullptr,
                                instance, nullptr);
  if (!window) return 1;
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &quit, FALSE, INFINITE, QS_ALLINPUT);
    if (woke != WAIT_OBJECT_0 + 1) break;  // the quit event, or a failure
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  DestroyWindow(window);
  CloseHandle(quit);
  return 0;
}
