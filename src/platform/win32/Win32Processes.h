// The process list through Tool Help, and starting programs with CreateProcessW.
#pragma once

#include "platform/Processes.h"

namespace pw {

class Win32Processes : public Processes {
 public:
  Status Snapshot(std::vector<ProcessEntry>* entries) override;
  Status Open(uint32_t id, ProcessHandlePtr* out) override;
  Status Start(const std::string& application, const std::string& command_line) override;
  Status HoldMutex(const std::string& name, uint32_t timeout_ms, MutexHoldPtr* out) override;
  Status AskToClose(uint32_t id, uint32_t* asked) override;
};

}  // namespace pw
