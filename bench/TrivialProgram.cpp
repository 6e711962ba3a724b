// The fixed cost of starting a program like Postwright: a window program that
// imports the same system libraries (kernel32, msvcrt, advapi32, comctl32,
// rpcrt4, shell32, user32), is linked the same way, and does nothing.
#include <windows.h>
#include <commctrl.h>
#include <rpc.h>
#include <shellapi.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
  // Never true when the benchmark starts it; the calls only make the linker
  // keep one import of each library, so the loader maps all of them.
  if (command_line && lstrcmpA(command_line, "--never-given--import-every-library") == 0) {
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &key);
    InitCommonControls();
    UUID uuid;
    UuidCreate(&uuid);
    int count = 0;
    LocalFree(CommandLineToArgvW(GetCommandLineW(), &count));
    MessageBoxW(nullptr, L"", L"", MB_OK);
  }
  return 0;
}
