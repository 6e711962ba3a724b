#include "detect/RunningClientCheck.h"

#include <algorithm>

namespace pw {
namespace {

// True once the process has really ended. A client still shutting down
// rewrites its settings after ours, so a termination request alone is not
// enough. A client that is killed loses what it had not saved (Outlook's data
// file is damaged, Thunderbird may be compacting a folder), so it is asked
// first, and killed only when it cannot be asked or does not listen.
bool CloseAndWait(Processes& processes, uint32_t id) {
  ProcessHandlePtr process;
  if (processes.Open(id, &process) != err::kSuccess) return false;
  uint32_t asked = 0;
  if (processes.AskToClose(id, &asked) == err::kSuccess && asked > 0 &&
      process->WaitForExit(kClientCloseWaitMs) == err::kSuccess)
    return true;
  // A client that ended just as the wait ran out cannot be terminated any more.
  if (process->Terminate(0) != err::kSuccess) return process->WaitForExit(0) == err::kSuccess;
  return process->WaitForExit(kClientExitWaitMs) == err::kSuccess;
}

}  // namespace

RunningClients CloseRunningClients(Processes& processes, const std::vector<std::string>& programs,
                                   bool close_running, RunLog& log) {
  std::vector<ProcessEntry> entries;
  if (processes.Snapshot(&entries) != err::kSuccess) entries.clear();

  bool client_found = false;
  bool all_closed = true;
  for (const ProcessEntry& entry : entries) {
    if (std::find(programs.begin(), programs.end(), entry.exe) == programs.end()) continue;
    client_found = true;
    if (!close_running) break;
    const bool closed = CloseAndWait(processes, entry.id);
    all_closed = all_closed && closed;
    log << "Running Email Client Detected: " << entry.exe << (closed ? ". Closed." : ". Could not be closed.");
    log.EndLine();
  }
  if (!client_found) return RunningClients::kContinue;
  return close_running && all_closed ? RunningClients::kContinue : RunningClients::kStop;
}

}  // namespace pw
