// The reliability tests' runs: every writer's scenarios (a machine kept as
// data, a command line, what detection reports), and one whole run of the
// program on such a machine, with a fault chosen by the caller.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MachineSeed.h"
#include "app/ClientKind.h"
#include "platform/fault/FaultPlan.h"
#include "platform/memory/MemoryPlatform.h"

namespace pw {
namespace reliability {

struct Scenario {
  const char* writer;
  const char* name;
  const char* machine;
  const char* command_line;
  int outlook_version = -1;
  DefaultClientCode default_client = 0;
  bool mapi = false;  // the run goes through the MAPI profile step
};

// Every writer and each of its scenarios. A new scenario is one row (and, for
// a new kind of store, one machine folder).
const std::vector<Scenario>& Scenarios();

struct Outcome {
  int exit_status = -1;
  MachineState before, after;  // the user's stores: the run log and the backups left out
  std::string closing;  // the log's last line that is not empty
  std::string out, err;  // what the run wrote on standard output and error
  bool names_the_fault = false;  // a log line gives the injected failure's code
  bool marker_unwritten = false;  // the log says the detection marker could not be written
  int mutations = 0;
  bool died = false;
  std::shared_ptr<MemoryPlatform> machine;  // as the run left it
  // The run's backup says how it left every item (it has no backup when it
  // changed nothing); a backup whose last records could not be written makes
  // a restore keep what it cannot tell.
  bool backup_complete = true;
};

using Arm = std::function<void(FaultPlan&, MemoryMapi&)>;
extern const Arm kNoFault;

// The stores only: the run log and the backups are the runs' own records.
MachineState Stores(MemoryPlatform& machine);

// One run of `command_line` on `machine`; `arm` chooses the fault. The log
// starts anew, so the outcome reads this run's record only.
Outcome RunOn(std::shared_ptr<MemoryPlatform> machine, const Scenario& scenario, const std::string& command_line,
              const Arm& arm);
// One run of `scenario` on a machine of its own.
Outcome RunScenario(const Scenario& scenario, const Arm& arm);

}  // namespace reliability
}  // namespace pw
