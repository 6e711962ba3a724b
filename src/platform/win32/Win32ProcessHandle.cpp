#include "platform/win32/Win32ProcessHandle.h"

#include "platform/win32/Win32Io.h"

namespace pw {

Win32ProcessHandle::~Win32ProcessHandle() { CloseHandle(process_); }

Status Win32ProcessHandle::Terminate(uint32_t exit_code) {
  return Checked(TerminateProcess(process_, exit_code));
}

Status Win32ProcessHandle::WaitForExit(uint32_t timeout_ms) {
  switch (WaitForSingleObject(process_, timeout_ms)) {
    case WAIT_OBJECT_0:
      return err::kSuccess;
    case WAIT_TIMEOUT:
      return err::kWaitTimeout;
    default:
      return LastError();
  }
}

}  // namespace pw
