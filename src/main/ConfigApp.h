// The application object: reads the command line and runs the main dialog,
// with its window (no arguments) or without one (every other command line).
#pragma once

#include "app/RunLog.h"
#include "detect/ClientDetection.h"
#include "framework/Dialog.h"
#include "framework/WinApp.h"
#include "platform/Platform.h"
#include "ui/WriterFactory.h"

namespace pw {

// The process exit status: what a deployment tool learns of the run.
namespace exit_status {
constexpr int kConfigured = 0;  // also every interactive run
constexpr int kFailed = 1;
constexpr int kUnusableCommandLine = 2;  // a required option missing, or a value refused; run as LocalSystem
constexpr int kClientRunning = 3;
}  // namespace exit_status

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
