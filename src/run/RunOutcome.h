// What a run answers: its result, the texts to show, the exit status.
#pragma once

#include <optional>
#include <string>

#include "clients/ConfigureResult.h"

namespace pw {

// The process exit status: what a deployment tool learns of the run.
namespace exit_status {
constexpr int kConfigured = 0;  // also every interactive run
constexpr int kFailed = 1;
constexpr int kUnusableCommandLine = 2;  // a required option missing, or a value refused; run as LocalSystem
constexpr int kClientRunning = 3;  // retry later
constexpr int kBusy = 4;           // another run held the stores for 60 seconds: retry later
}  // namespace exit_status

struct RunOutcome {
  ConfigureResult result = result::kNoWriter;  // the writer's answer; kNoWriter when none ran
  bool configured = false;
  // The run ended before it could configure: a mail client was running, or
  // another run kept the stores.
  bool ended_early = false;
  std::string message;      // what the window's message area shows
  std::string description;  // why the run did not configure, as the log describes it; empty when it did
  int exit_status = exit_status::kConfigured;
  std::optional<std::string> log_path;  // none when the run could not open a log
};

}  // namespace pw
