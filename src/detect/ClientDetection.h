// What the dialog asks about the mail clients on this machine while it starts.
#pragma once

#include <string>

#include "app/RunLog.h"
#include "clients/AccountWriter.h"

namespace pw {

// 0 none, 1 Outlook Express, 2 Outlook, 3 Windows Mail, 4 Eudora,
// 5 Thunderbird: always ClientKind + 1.
using DefaultClientCode = int;

enum class RunningClients { kContinue, kStop };

class ClientDetection {
 public:
  virtual ~ClientDetection() = default;
  virtual bool IsInstalled(ClientKind kind) = 0;
  // Called only when Outlook is installed.
  virtual int OutlookVersion() = 0;
  // Lists running mail clients; with `close_running` terminates them (and
  // logs each), otherwise reports kStop when any runs. Writes nothing else.
  virtual RunningClients CheckRunning(bool close_running, RunLog& log) = 0;
  virtual DefaultClientCode DefaultClient() = 0;
};

}  // namespace pw
