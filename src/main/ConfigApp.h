// The application object: reads the command line and starts the run, with the
// main window (no arguments) or without one (every other command line).
#pragma once

#include "app/RunLog.h"
#include "clients/WriterFactory.h"
#include "detect/ClientDetection.h"
#include "framework/Dialog.h"
#include "framework/WinApp.h"
#include "platform/Platform.h"
#include "run/RunOutcome.h"

namespace pw {

// The line on standard error for a run as the system account.
extern const char kLocalSystemRefusal[];

class CConfigApp : public CWinApp {
 public:
  CConfigApp(Platform& platform, RunLog& log, ClientDetection& detection, WriterFactory& writers, DialogHost& host)
      : platform_(platform), log_(log), detection_(detection), writers_(writers), host_(host) {}

  bool InitInstance() override;
  int exit_status() const { return exit_status_; }

 private:
  Platform& platform_;
  RunLog& log_;
  ClientDetection& detection_;
  WriterFactory& writers_;
  DialogHost& host_;
  int exit_status_ = exit_status::kConfigured;
};

}  // namespace pw
