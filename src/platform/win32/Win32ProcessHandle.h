// An open process handle; destroying it closes the handle.
#pragma once

#include <windows.h>

#include "platform/Processes.h"

namespace pw {

class Win32ProcessHandle : public ProcessHandle {
 public:
  explicit Win32ProcessHandle(HANDLE process) : process_(process) {}
  ~Win32ProcessHandle() override;

  Status Terminate(uint32_t exit_code) override;
  Status WaitForExit(uint32_t timeout_ms) override;

 private:
  HANDLE process_;
};

}  // namespace pw
