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

// A named mutex this process holds. Destroying it releases the mutex.
class MutexHold {
 public:
  MutexHold() = default;
  MutexHold(const MutexHold&) = delete;
  MutexHold& operator=(const MutexHold&) = delete;
  virtual ~MutexHold() = default;
};

using MutexHoldPtr = std::unique_ptr<MutexHold>;

class Processes {
 public:
  virtual ~Processes() = default;
  virtual Status Snapshot(std::vector<ProcessEntry>* entries) = 0;
  virtual Status Open(uint32_t id, ProcessHandlePtr* out) = 0;
  // Starts `application` (a full path, never searched for) with the given
  // command line; the new process is not waited for.
  virtual Status Start(const std::string& application, const std::string& command_line) = 0;
  // Takes the named mutex `name` ("Local\..." for the user's session),
  // waiting up to `timeout_ms` while another process holds it: 258 (wait
  // timeout) when it is still held then. A mutex whose holder ended without
  // releasing it is taken over.
  virtual Status HoldMutex(const std::string& name, uint32_t timeout_ms, MutexHoldPtr* out) = 0;
  // Asks every top-level window of process `id` to close (WM_CLOSE, posted),
  // as Windows does at log-off; `asked` is how many windows were asked.
  virtual Status AskToClose(uint32_t id, uint32_t* asked) = 0;
};

}  // namespace pw
