// Twins of the small services and of the process list.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Processes.h"
#include "platform/System.h"

namespace pw {

class MemoryProcesses : public Processes {
 public:
  struct Process {
    ProcessEntry entry;
    bool deny_open = false;
    bool deny_terminate = false;
    bool ignores_terminate = false;  // terminated but never ends
    bool running = true;
    uint32_t windows = 0;            // top-level windows
    bool closes_when_asked = true;   // ends once its windows are asked to close
    uint32_t close_requests = 0;     // windows asked to close so far
    bool terminated = false;         // Terminate was called and accepted
  };
  struct Start {
    std::string application;
    std::string command_line;
  };

  Status Snapshot(std::vector<ProcessEntry>* entries) override;
  Status Open(uint32_t id, ProcessHandlePtr* out) override;
  // Every start is recorded (see Started). With a file system attached, as in
  // MemoryPlatform, a missing program fails as on Windows (2, or 3 for a
  // missing folder) and a started one runs under its file name until
  // terminated; without one, every start succeeds and nothing runs.
  Status Start(const std::string& application, const std::string& command_line) override;
  void UseFiles(FileSystem* files) { files_ = files; }
  // Mutex names are compared exactly, as Windows compares object names. The
  // twin has no second thread: a mutex held by anyone counts as held by
  // another process and times out at once, and each such wait is recorded.
  Status HoldMutex(const std::string& name, uint32_t timeout_ms, MutexHoldPtr* out) override;
  Status AskToClose(uint32_t id, uint32_t* asked) override;
  bool MutexHeld(const std::string& name) const;
  // The timeouts of the waits that found the mutex held.
  const std::vector<uint32_t>& MutexWaits() const { return mutex_waits_; }
  void FailMutex(Status status) { mutex_status_ = status; }

  // Adds a running process and returns its id.
  uint32_t Add(const std::string& exe);
  Process& Get(uint32_t id) { return processes_.at(id); }
  bool Running(uint32_t id) const { return processes_.at(id).running; }
  void FailSnapshot(Status status) { snapshot_status_ = status; }
  const std::vector<struct Start>& Started() const { return started_; }
  std::vector<uint32_t> WaitedFor() const { return waited_; }
  int OpenHandles() const { return open_handles_; }

 private:
  friend class MemoryProcessHandle;
  std::map<uint32_t, Process> processes_;
  std::vector<uint32_t> order_;
  std::vector<struct Start> started_;
  std::vector<uint32_t> waited_;
  uint32_t next_id_ = 100;
  int open_handles_ = 0;
  Status snapshot_status_ = err::kSuccess;
  FileSystem* files_ = nullptr;
  friend class MemoryMutexHold;
  std::vector<std::string> held_mutexes_;
  std::vector<uint32_t> mutex_waits_;
  Status mutex_status_ = err::kSuccess;
};

class MemoryEnvironment : public Environment {
 public:
  bool Variable(const std::string& name, std::string* value) override;
  Status ShellAppDataFolder(std::string* folder) override;
  Status ShellLocalAppDataFolder(std::string* folder) override;
  bool RunsAsLocalSystem() override { return local_system_; }
  bool ToAnsiCodePage(const std::string& text, std::string* ansi) override;
  std::string FromAnsiCodePage(const std::string& ansi) override;

  // The system's ANSI code page: 1252 (Western, the default) or 1255 (Hebrew).
  void SetAnsiCodePage(int code_page) { code_page_ = code_page; }

  // Names are compared without regard to case, as Windows does.
  void Set(const std::string& name, const std::string& value);
  void Unset(const std::string& name);
  void SetShellAppData(const std::string& folder) { shell_app_data_ = folder; }
  void SetShellLocalAppData(const std::string& folder) { shell_local_app_data_ = folder; }
  void SetLocalSystem(bool local_system) { local_system_ = local_system; }

 private:
  std::map<std::string, std::string> variables_;
  bool local_system_ = false;
  std::string shell_app_data_;  // empty: the shell has none
  std::string shell_local_app_data_;
  int code_page_ = 1252;
};

class MemoryClock : public Clock {
 public:
  LocalTime Now() override { return now_; }
  void Pause(unsigned milliseconds) override { paused_ms += milliseconds; }
  void Set(const LocalTime& now) { now_ = now; }
  unsigned long long paused_ms = 0;

 private:
  LocalTime now_{2008, 12, 7, 14, 5, 9};
};

// Hands out 00000000-0000-4000-8000-000000000001, ...0002 and so on.
class MemoryUuidSource : public UuidSource {
 public:
  Status NewUuid(std::string* text) override;

 private:
  unsigned long long next_ = 1;
};

class MemoryStdOut : public StdOut {
 public:
  void Out(const std::string& text) override { out += text; }
  void Err(const std::string& text) override { err += text; }
  std::string out;
  std::string err;
};

}  // namespace pw
