// What the dialog asks about the mail clients on this machine while it starts.
#pragma once

#include <string>
#include <vector>

#include "app/ClientKind.h"
#include "app/ClientMarks.h"
#include "app/RunLog.h"
#include "platform/Processes.h"

namespace pw {

enum class RunningClients { kContinue, kStop };

class ClientDetection {
 public:
  virtual ~ClientDetection() = default;
  virtual bool IsInstalled(ClientKind kind) = 0;
  // Called only when Outlook is installed.
  virtual int OutlookVersion() = 0;
  // Lists running mail clients among `processes`; with `close_running`
  // closes them (and logs each), otherwise reports kStop when any runs.
  // Writes nothing else.
  virtual RunningClients CheckRunning(Processes& processes, bool close_running, RunLog& log) = 0;
  virtual DefaultClientCode DefaultClient() = 0;
};

}  // namespace pw
