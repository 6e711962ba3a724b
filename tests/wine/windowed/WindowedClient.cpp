// A stand-in mail client with one top-level window. Every WM_CLOSE it receives
// is appended as a line to the file named first on its command line. Started
// with "listens" it then ends with exit code 5, as a client that saves its data
// and quits; with "ignores" it goes on running, as a client stuck in a
// dialog. It ends by itself after five minutes, in case a test cannot end it.
#include <windows.h>

#include <string>

namespace {

constexpr UINT_PTR kGiveUpTimer = 1;
std::wstring record_path;
bool listens = false;

void Record(const char* line) {
  HANDLE file = CreateFileW(record_path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
  CloseHandle(file);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      Record("WM_CLOSE\r\n");
      if (listens) DestroyWindow(window);
      return 0;
    case WM_TIMER:
      PostQuitMessage(7);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(5);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments || count < 3) return 2;
  record_path = arguments[1];
  listens = std::wstring(arguments[2]) == L"listens";
  LocalFree(arguments);

  WNDCLASSW window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = L"PostwrightStandInClient";
  if (!RegisterClassW(&window_class)) return 3;
  HWND window = CreateWindowExW(0, window_class.lpszClassName, L"Stand-in client", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                100, nullptr, nullptr, instance, nullptr);
  if (!window) return 4;
  SetTimer(window, kGiveUpTimer, 5 * 60 * 1000, nullptr);
  Record("READY\r\n");

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return static_cast<int>(message.wParam);
}
