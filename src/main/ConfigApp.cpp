#include "main/ConfigApp.h"

#include "app/CommandLine.h"
#include "run/ConfigRun.h"
#include "ui/ConfigDlg.h"

namespace pw {

const char kLocalSystemRefusal[] =
    "Postwright: refused to run as LocalSystem, whose mail settings no user sees; run it as the logged-on user\n";

bool CConfigApp::InitInstance() {
  // Run as the system account, every setting would land where no user sees
  // it while the run reported success: refused before anything is read.
  if (platform_.environment.RunsAsLocalSystem()) {
    platform_.std_out.Err(kLocalSystemRefusal);
    exit_status_ = exit_status::kUnusableCommandLine;
    return false;
  }
  const CommandLineRequest request = ParseCommandLine(m_lpCmdLine);
  // A command line that cannot run logs nothing, changes nothing and shows
  // no window: one line on standard error says why.
  if (!request.missing_option.empty() || !request.refusal.empty()) {
    platform_.std_out.Err(request.refusal.empty() ? std::string(kUsageLine) : "Postwright: " + request.refusal + "\n");
    exit_status_ = exit_status::kUnusableCommandLine;
    return false;
  }

  ConfigRun run(platform_, log_, detection_, writers_, request.run);
  if (request.run.mode == RunMode::kInteractive) {
    CConfigDlg dlg(run, &host_);
    dlg.DoModal();
    exit_status_ = exit_status::kConfigured;
    return false;
  }
  const RunOutcome outcome = run.Unattended(request.run);
  exit_status_ = outcome.exit_status;
  // An unattended run that did not configure says why where a deployment
  // tool sees it, and where the whole story is.
  if (exit_status_ != exit_status::kConfigured)
    platform_.std_out.Err("Postwright: " + outcome.description + " (log: " + outcome.log_path.value_or("none") +
                          ")\n");
  return false;
}

}  // namespace pw
