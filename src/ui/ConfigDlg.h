// The main dialog: the run's whole state, its initialisation (log header and
// client checks), the save-enabling rule, the configure command, and Close.
// Command-line runs drive the same object without a window.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/ClientKind.h"
#include "app/CommandLine.h"
#include "app/RunLog.h"
#include "clients/AccountWriter.h"
#include "detect/ClientDetection.h"
#include "framework/Dialog.h"
#include "framework/DialogSurface.h"
#include "platform/Platform.h"
#include "ui/WriterFactory.h"

namespace pw {

// Two runs at once (a logon script and a deployment tool, say) would each read
// a client's store before the other replaced it, and one account would be
// lost. So a run holds this mutex of the user's session from before its first
// read of a store to after its last write; a second run waits for it.
constexpr char kStoresMutexName[] = "Local\\Postwright.MailClientStores";
constexpr uint32_t kStoresWaitMs = 60000;

class CConfigDlg : public CDialog {
 public:
  CConfigDlg(Platform& platform, RunLog& log, ClientDetection& detection, WriterFactory& writers, DialogHost* host,
             const RunOptions& options);

  bool OnInitDialog() override;
  void OnCancel() override;
  bool OnCommand(int id, int notify_code) override;

  // Save enabling: handler of the edit boxes and the radio buttons.
  void OnInputChanged();
  // The configure command: the save button, or the second step of a command-line run.
  void OnSave();
  void OnAbout();
  void ShowFinishedState();
  // Lists the key names below HKEY_CURRENT_USER `key_path`, depth first,
  // indented three blanks per level.
  void DumpRegistryTree(std::string key_path, int depth, RunLog& log);
  // The profiles of the Outlook detected, listed by DumpRegistryTree.
  void DumpOutlookProfiles(RunLog& log);

  // The dialog template's controls and their start states, for a headless run.
  static std::vector<ControlSpec> TemplateControls();

  DefaultClientCode default_client_ = kNoDefaultClient;

  // Members exchanged with the controls; a command-line run sets them instead.
  std::string user_name_;
  int make_default_ = 0;
  std::string display_name_;
  int selected_client_ = -1;  // the radio group's index, or the "-c" number
  int launch_ = 0;
  int overwrite_ = 0;

  // Outcome.
  int outlook_version_ = -1;
  bool stopped_by_running_client_ = false;  // initialisation ended the run
  bool configured_ = false;                 // the last Configure returned 0
  // Why the run failed or stopped, as the log describes it; empty otherwise.
  std::string failure_description_;
  // The run log's file; none when the run could not open one.
  std::optional<std::string> log_path_;

 protected:
  void DoDataExchange(CDataExchange& dx) override;

 private:
  // Only an interactive run has a window; the command-line runs skip every
  // window operation.
  bool HasWindow() const { return options_.mode == RunMode::kInteractive; }
  bool Automatic() const { return options_.mode == RunMode::kAutomatic; }
  std::optional<ClientKind> SelectedClient() const { return ClientKindFromNumber(selected_client_); }
  CControl& Radio(ClientKind kind);
  void DetectInstalledClients();
  bool StopForRunningClients();
  void DetectDefault();
  // Automatic mode: finds the account to rewrite and the client it belongs
  // to; false when the run already ended with an automatic-mode error.
  bool FindAutomaticAccount(AccountRequest* request);
  void FailAutomatic(const std::string& error, const std::string& description);
  // Takes the stores' mutex unless this run holds it; false when the run
  // ended because another run kept it (or it could not be had).
  bool HoldClientStores();
  void ReportOutcome(ConfigureResult result);
  void LaunchClient();

  Platform& platform_;
  RunLog& log_;
  ClientDetection& detection_;
  WriterFactory& writers_;
  const RunOptions options_;
  MutexHoldPtr stores_lock_;
  Status stores_lock_status_ = err::kSuccess;
  bool ended_without_lock_ = false;

  CControl overwrite_box_, launch_box_, about_button_, choose_label_, display_name_label_, user_name_label_,
      details_label_, message_, make_default_box_, display_name_edit_, user_name_edit_, save_button_, cancel_button_;
  CControl radios_[kClientCount];  // in ClientKind order
};

}  // namespace pw
