// One run of the program, whichever way it was started: the stores' lock, the
// run log, client detection, the running-client check, automatic mode's
// lookup, the writer's call, the failure listing, and the client's launch.
// The window and the command line hand it a plain request and show what it
// answers.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/ClientKind.h"
#include "app/RunLog.h"
#include "app/RunRequest.h"
#include "clients/AccountRequest.h"
#include "clients/MailClients.h"
#include "clients/WriterFactory.h"
#include "detect/ClientDetection.h"
#include "platform/ChangeDetectingFileSystem.h"
#include "platform/Platform.h"
#include "platform/changes/JournalingFileSystem.h"
#include "platform/changes/JournalingRegistry.h"
#include "platform/changes/WatchedMapi.h"
#include "platform/changes/WhatIfPlatform.h"
#include "run/Backup.h"
#include "run/RunOutcome.h"

namespace pw {

// Two runs at once (a logon script and a deployment tool, say) would each read
// a client's store before the other replaced it, and one account would be
// lost. So a run holds this mutex of the user's session from before its first
// read of a store to after its last write; a second run waits for it.
constexpr char kStoresMutexName[] = "Local\\Postwright.MailClientStores";
constexpr uint32_t kStoresWaitMs = 60000;

// Below HKEY_CURRENT_USER: the detection marker a run that configured leaves
// ("Version", "Configured", "Client", "Address").
extern const char kMarkerKey[];

// What the window needs once the run has started.
struct RunStart {
  bool installed[kClientCount] = {};
  std::optional<ClientKind> preselected;  // the default client, when it is installed
  // Set when the run already ended (a mail client was running): the outcome
  // to show.
  std::optional<RunOutcome> ended;
};

class ConfigRun {
 public:
  // `start` says how the run goes: its mode, -x and -whatif. A what-if run
  // sees the stores through a what-if platform and changes nothing but the
  // log; any other run that changes a store keeps a backup first (a restore
  // takes one back and keeps none).
  ConfigRun(Platform& platform, RunLog& log, ClientDetection& detection, WriterFactory& writers,
            const RunRequest& start);
  ~ConfigRun();

  // Opens the run log and writes its header, detects the clients, checks for
  // running ones and finds the default client. A run without a window takes
  // the stores' lock first, before anything else.
  RunStart Begin();
  // The configure command.
  RunOutcome Configure(const RunRequest& request);
  // Takes the last changing run back from its backup.
  RunOutcome Restore();
  // A run without a window, whole: Begin, then Configure (or Restore) unless it ended.
  RunOutcome Unattended(const RunRequest& request);
  // The window closed before a configure: the record says so.
  void Cancel();
  // Starts the client just configured, as App Paths registers it, and notes
  // the path in the log after its closing line.
  void Launch(ClientKind kind);

 private:
  bool HasWindow() const { return mode_ == RunMode::kInteractive; }
  void DetectInstalledClients(RunStart* start);
  bool StopForRunningClients(RunOutcome* outcome);
  void DetectDefault(RunStart* start);
  // Takes the stores' lock unless this run holds it; false (with the outcome
  // filled) when another run kept it or it could not be had.
  bool HoldClientStores(RunOutcome* outcome);
  // Automatic mode: finds the account to rewrite and the client it belongs
  // to; false when the run already ended with an automatic-mode error.
  bool FindAutomaticAccount(const RunRequest& run, AccountRequest* request, int* client, RunOutcome* outcome);
  void FailAutomatic(const std::string& error, const std::string& description, RunOutcome* outcome);
  void ReportOutcome(ConfigureResult result, int client, RunOutcome* outcome);
  void WriteMarker(ClientKind kind, const std::string& address);
  WriterContext Context();
  RunOutcome Ended(RunOutcome outcome) const;
  Closing ClosingOf(bool ok) const;
  // The backup finished, or a what-if run's changes listed.
  void FinishChanges(bool configured);
  void ReportRestore(const struct RestoreReport& report, RunOutcome* outcome);

  Platform& platform_;  // the machine: the log, the lock, the launch
  std::optional<std::string> backups_;
  std::unique_ptr<WhatIfPlatform> what_if_;
  std::unique_ptr<Backup> backup_;
  std::unique_ptr<JournalingRegistry> journal_registry_;
  std::unique_ptr<JournalingFileSystem> journal_files_;
  std::unique_ptr<WatchedMapi> journal_mapi_;
  std::unique_ptr<ChangeDetectingFileSystem> guard_;
  std::unique_ptr<Platform> stores_;  // what the writers, lookups and the marker see
  RunLog& log_;
  ClientDetection& detection_;
  WriterFactory& writers_;
  const RunMode mode_;
  const bool close_running_;
  DefaultClientCode default_client_ = kNoDefaultClient;
  int outlook_version_ = -1;
  MutexHoldPtr stores_lock_;
  Status stores_lock_status_ = err::kSuccess;
  std::optional<RunOutcome> ended_;  // how the run ended before its configure
  std::optional<std::string> log_path_;
};

}  // namespace pw
