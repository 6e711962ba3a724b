// What the dialog asks about the mail clients on this machine while it starts.
#pragma once

#include <string>
#include <vector>

#include "app/ClientKind.h"
#include "app/RunLog.h"

namespace pw {

// How a mail client shows on a machine.
struct ClientMarks {
  ClientKind kind;
  // Its registration: a key below HKLM "SOFTWARE\Clients\Mail".
  const char* registration;
  // Its program's file name, as App Paths registers it and the process list shows it.
  const char* program;
  // Text (lower case) in the mail-link command when it handles mail links.
  const char* mail_link_text;
};

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
