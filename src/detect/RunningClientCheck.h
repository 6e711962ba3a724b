// Mail clients must not run while their settings are rewritten: a running
// client keeps its own copy and writes it back over ours.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/RunLog.h"
#include "detect/ClientDetection.h"
#include "platform/Processes.h"

namespace pw {

// How long a client asked to close is given to save its data and end.
constexpr uint32_t kClientCloseWaitMs = 30000;
// How long a terminated client is given to end.
constexpr uint32_t kClientExitWaitMs = 10000;

// Looks for the mail clients' `programs` in the process list (exact names,
// letter case included). Without `close_running`, any of them gives kStop and
// nothing is logged. With it, each one found is closed as Windows does at
// log-off, in snapshot order: its top-level windows are asked to close and it
// is given kClientCloseWaitMs to end; one still running then, or with no
// window to ask, is terminated and waited for. Each is logged as "Running
// Email Client Detected: <name>. Closed." or, when it cannot be opened,
// terminated or does not end in time, "... Could not be closed."; any such
// failure gives kStop. No process list means no client runs.
RunningClients CloseRunningClients(Processes& processes, const std::vector<std::string>& programs,
                                   bool close_running, RunLog& log);

}  // namespace pw
