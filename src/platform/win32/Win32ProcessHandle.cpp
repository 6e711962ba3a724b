#include "platform/win32/Win32ProcessHandle.h"

namespace pw {

Win32ProcessHandle::~Win32ProcessHandle() { CloseHandle(process_); }

Status Win32ProcessHandle::Terminate(uint32_t exit_code) {
  return TerminateProcess(process_, exit_code) ? ERROR_SUCCESS : GetLastError();
}

Status Win32ProcessHandle::WaitForExit(uint32_t timeout_ms) {
  switch (WaitForSingleObject(process_, timeout_ms)) {
    case WAIT_OBJECT_0:
      return ERROR_SUCCESS;
    case WAIT_TIMEOUT:
      return WAIT_TIMEOUT;
    default:
      return GetLastError();
  }
}

}  // namespace pw
