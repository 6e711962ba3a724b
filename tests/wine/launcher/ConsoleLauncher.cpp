// Starts a program the way a console prompt starts a window program: in this
// process's console, with no standard handles of its own. Waits for it and
// exits with its exit status (9 when it cannot be started).
//
// usage: console_launcher.exe PROGRAM [ARGUMENTS...]
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 9;
  std::string command_line = std::string("\"") + argv[1] + "\"";
  for (int i = 2; i < argc; ++i) command_line += std::string(" ") + argv[i];
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;  // and no handles: nothing redirected
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, &command_line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return 9;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exit_code = 9;
  GetExitCodeProcess(process.hProcess, &exit_code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(exit_code);
}
