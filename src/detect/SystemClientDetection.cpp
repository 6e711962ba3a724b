#include "detect/SystemClientDetection.h"

#include "detect/DefaultClient.h"
#include "detect/InstalledClients.h"
#include "detect/RunningClientCheck.h"

namespace pw {

bool SystemClientDetection::IsInstalled(ClientKind kind) {
  switch (kind) {
    case client::kOutlookExpress: return IsOutlookExpressInstalled(registry_);
    case client::kOutlook: return IsOutlookInstalled(registry_);
    case client::kWindowsMail: return IsWindowsMailInstalled(registry_);
    case client::kEudora: return IsEudoraInstalled(registry_);
    case client::kThunderbird: return IsThunderbirdInstalled(registry_);
    default: return false;
  }
}

int SystemClientDetection::OutlookVersion() { return GetOutlookVersion(registry_); }

RunningClients SystemClientDetection::CheckRunning(bool close_running, RunLog& log) {
  return CloseRunningClients(processes_, close_running, log);
}

DefaultClientCode SystemClientDetection::DefaultClient() { return DetectDefaultClient(registry_); }

}  // namespace pw
