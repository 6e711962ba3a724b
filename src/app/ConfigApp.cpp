#include "app/ConfigApp.h"

#include "app/CommandLine.h"
#include "ui/ConfigDlg.h"

namespace pw {

bool CConfigApp::InitInstance() {
  const CommandLineRequest request = ParseCommandLine(m_lpCmdLine);
  CConfigDlg dlg(platform_, log_, detection_, &host_);

  if (request.mode == RunMode::kInteractive) {
    dlg.command_line_ = false;
    dlg.automatic_ = false;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    exit_status_ = exit_status::kConfigured;
    return false;
  }

  if (!request.missing_option.empty()) {
    // Nothing logged, nothing changed, no window: only the usage line.
    platform_.std_out.Err(kUsageLine);
    exit_status_ = exit_status::kMissingOption;
    return false;
  }

  dlg.command_line_ = true;
  dlg.make_default_ = request.make_default;
  dlg.overwrite_ = request.overwrite;
  if (request.mode == RunMode::kAutomatic) {
    dlg.automatic_ = true;
    dlg.close_running_ = request.close_running;
    dlg.prefix_ = request.prefix;
    dlg.search_address_ = request.search_address;
  } else {
    dlg.automatic_ = false;
    dlg.selected_client_ = request.client;
    dlg.user_name_ = request.user_name;
    dlg.display_name_ = request.display_name;
  }

  dlg.OnInitDialog();
  if (dlg.stopped_by_running_client_) {
    exit_status_ = exit_status::kClientRunning;
    return false;
  }
  dlg.OnSave();
  exit_status_ = dlg.configured_ ? exit_status::kConfigured : exit_status::kFailed;
  return false;
}

}  // namespace pw
