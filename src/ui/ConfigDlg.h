// The main window: fills a run's request from its controls and shows what the
// run answers. The save-enabling rule, the finished state and the launch box
// are the window's own; everything else is the run's.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/ClientKind.h"
#include "app/RunRequest.h"
#include "framework/Dialog.h"
#include "framework/DialogSurface.h"
#include "run/ConfigRun.h"

namespace pw {

class CConfigDlg : public CDialog {
 public:
  CConfigDlg(ConfigRun& run, DialogHost* host) : CDialog(kTemplate, host), run_(run) {}

  bool OnInitDialog() override;
  void OnCancel() override;
  bool OnCommand(int id, int notify_code) override;

  // Save enabling: handler of the edit boxes and the radio buttons.
  void OnInputChanged();
  // The configure command: the save button.
  void OnSave();
  void OnAbout();
  void ShowFinishedState();

  // The request the controls hold now.
  RunRequest Request() const;

  // The dialog template's controls and their start states, for a headless run.
  static std::vector<ControlSpec> TemplateControls();

 protected:
  void DoDataExchange(CDataExchange& dx) override;

 private:
  static const int kTemplate;
  std::optional<ClientKind> SelectedClient() const { return ClientKindFromNumber(selected_client_); }

  ConfigRun& run_;
  bool configured_ = false;  // the save configured the client

  // Members exchanged with the controls.
  std::string user_name_;
  int make_default_ = 0;
  std::string display_name_;
  int selected_client_ = -1;  // the radio group's index: the ClientKind's number
  int launch_ = 0;
  int overwrite_ = 0;

  CControl overwrite_box_, launch_box_, about_button_, choose_label_, display_name_label_, user_name_label_,
      details_label_, message_, make_default_box_, display_name_edit_, user_name_edit_, save_button_, cancel_button_;
  CControl radios_[kClientCount];  // in ClientKind order
};

}  // namespace pw
