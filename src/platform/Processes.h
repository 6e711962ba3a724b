// Running programs: a snapshot of the process list, terminating one, starting one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Errors.h"

namespace pw {

struct ProcessEntry {
  uint32_t id = 0;
  std::string exe;  // the executable's file name as the snapshot reports it, no folder
};

// An open process. Destroying it closes the handle.
class ProcessHandle {
 public:
  ProcessHandle() = default;
  ProcessHandle(const ProcessHandle&) = delete;
  ProcessHandle& operator=(const ProcessHandle&) = delete;
  virtual ~ProcessHandle() = default;

  virtual Status Terminate(uint32_t exit_code) = 0;
  // 0 once the process has ended, 258 (wait timeout) if it is still running.
  virtual Status WaitForExit(uint32_t timeout_ms) = 0;
};

using ProcessHandlePtr = std::unique_ptr<ProcessHandle>;

class Processes {
 public:
  virtual ~Processes() = default;
  virtual Status Snapshot(std::vector<ProcessEntry>* entries) = 0;
  virtual Status Open(uint32_t id, ProcessHandlePtr* out) = 0;
  // Starts `application` (a full path, never searched for) with the given
  // command line; the new process is not waited for.
  virtual Status Start(const std::string& application, const std::string& command_line) = 0;
};

}  // namespace pw
