// The main dialog: the run's whole state, its initialisation (log header and
// client checks), the save-enabling rule, the configure command, and Close.
// Command-line runs drive the same object without a window.
#pragma once

#include <memory>
#include <string>

#include "app/RunLog.h"
#include "clients/AccountWriter.h"
#include "detect/ClientDetection.h"
#include "framework/Dialog.h"
#include "framework/HeadlessSurface.h"
#include "platform/Platform.h"
#include "ui/WriterFactory.h"

namespace pw {

class CConfigDlg : public CDialog {
 public:
  CConfigDlg(Platform& platform, RunLog& log, ClientDetection& detection, DialogHost* host);

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

  // The dialog template's controls and their start states, for a headless run.
  static std::vector<ControlSpec> TemplateControls();

  // Run state, set by the application object before initialisation.
  bool command_line_ = false;
  bool automatic_ = false;
  bool close_running_ = false;
  std::string search_address_;
  int default_client_ = -1;
  std::string prefix_;

  // Members exchanged with the controls.
  std::string user_name_;
  int make_default_ = 0;
  std::string display_name_;
  int selected_client_ = -1;
  int launch_ = 0;
  int overwrite_ = 0;

  // Outcome.
  int outlook_version_ = -1;
  bool stopped_by_running_client_ = false;  // initialisation ended the run
  bool configured_ = false;                 // the last Configure returned 0
  bool failed_ = false;                     // the configure command ended in failure

  // Makes the writer of the selected client.
  WriterFactory make_writer_ = MakeWriter;

 protected:
  void DoDataExchange(CDataExchange& dx) override;

 private:
  CControl& Radio(ClientKind kind);
  void DetectInstalledClients();
  bool StopForRunningClients();
  void DetectDefault();
  // Automatic mode: finds the account to rewrite and prepares its writer;
  // false when the run already ended with an automatic-mode error.
  bool PrepareAutomatic(std::unique_ptr<AccountWriter>* writer, AccountRequest* request);
  void FailAutomatic(const std::string& error, const std::string& description);
  void ReportOutcome(ConfigureResult result);
  void LaunchClient();

  Platform& platform_;
  RunLog& log_;
  ClientDetection& detection_;

  CControl overwrite_box_, launch_box_, about_button_, choose_label_, display_name_label_, user_name_label_,
      details_label_, radio_oe_, radio_outlook_, radio_eudora_, radio_thunderbird_, radio_winmail_, message_,
      make_default_box_, display_name_edit_, user_name_edit_, save_button_, cancel_button_;
};

}  // namespace pw
