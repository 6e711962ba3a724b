#include "platform/win32/Win32Processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include <vector>

#include "platform/win32/Win32Io.h"
#include "platform/win32/Win32ProcessHandle.h"

namespace pw {

namespace {

// Some systems report the whole path; the seam promises the file name alone.
std::string FileName(const wchar_t* exe) {
  const std::string path = Narrow(exe);
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

Status Win32Processes::Snapshot(std::vector<ProcessEntry>* entries) {
  entries->clear();
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return LastError();
  PROCESSENTRY32W entry;
  entry.dwSize = sizeof entry;
  Status status = err::kSuccess;
  if (Process32FirstW(snapshot, &entry)) {
    do {
      entries->push_back(ProcessEntry{static_cast<uint32_t>(entry.th32ProcessID), FileName(entry.szExeFile)});
    } while (Process32NextW(snapshot, &entry));
  }
  if (GetLastError() != ERROR_NO_MORE_FILES) status = LastError();
  CloseHandle(snapshot);
  if (status != err::kSuccess) entries->clear();
  return status;
}

Status Win32Processes::Open(uint32_t id, ProcessHandlePtr* out) {
  HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, TRUE, id);
  if (!process) return LastError();
  *out = std::make_unique<Win32ProcessHandle>(process);
  return err::kSuccess;
}

Status Win32Processes::Start(const std::string& application, const std::string& command_line) {
  // CreateProcessW may write into the command line it is given.
  const std::wstring wide_line = Wide(command_line);
  std::vector<wchar_t> line(wide_line.begin(), wide_line.end());
  line.push_back(L'\0');
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(Wide(application).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started))
    return LastError();
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return err::kSuccess;
}

}  // namespace pw
