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

// Mutex names are ours and plain, but the W call takes UTF-16.
std::wstring MutexName(const std::string& name) {
  const int units = MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(units), L'\0');
  if (units > 0) MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), &wide[0], units);
  return wide;
}

class Win32MutexHold : public MutexHold {
 public:
  explicit Win32MutexHold(HANDLE mutex) : mutex_(mutex) {}
  ~Win32MutexHold() override {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }

 private:
  HANDLE mutex_;
};

// The window walk of AskToClose. The program has one thread, so the walk's
// state lives here rather than squeezed into the callback's LPARAM.
struct CloseRequest {
  DWORD process_id = 0;
  uint32_t asked = 0;
};
CloseRequest close_request;

BOOL CALLBACK AskWindowToClose(HWND window, LPARAM) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == close_request.process_id && PostMessageW(window, WM_CLOSE, 0, 0)) ++close_request.asked;
  return TRUE;
}

}  // namespace

Status Win32Processes::HoldMutex(const std::string& name, uint32_t timeout_ms, MutexHoldPtr* out) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, MutexName(name).c_str());
  if (!mutex) return LastError();
  switch (WaitForSingleObject(mutex, timeout_ms)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // its holder ended; what it wrote was replaced whole or not at all
      *out = std::make_unique<Win32MutexHold>(mutex);
      return err::kSuccess;
    case WAIT_TIMEOUT:
      CloseHandle(mutex);
      return err::kWaitTimeout;
    default: {
      const Status status = LastError();
      CloseHandle(mutex);
      return status;
    }
  }
}

Status Win32Processes::AskToClose(uint32_t id, uint32_t* asked) {
  close_request = CloseRequest{id, 0};
  const Status status = Checked(EnumWindows(AskWindowToClose, 0));
  *asked = close_request.asked;
  return status;
}

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
