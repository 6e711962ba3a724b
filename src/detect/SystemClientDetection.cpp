#include "detect/SystemClientDetection.h"

#include "detect/DefaultClient.h"
#include "detect/InstalledClients.h"
#include "detect/RunningClientCheck.h"

namespace pw {

const ClientMarks* SystemClientDetection::MarksOf(ClientKind kind) const {
  for (const ClientMarks& client : clients_)
    if (client.kind == kind) return &client;
  return nullptr;
}

bool SystemClientDetection::IsInstalled(ClientKind kind) {
  const ClientMarks* client = MarksOf(kind);
  return client && IsClientInstalled(registry_, client->registration);
}

int SystemClientDetection::OutlookVersion() {
  const ClientMarks* outlook = MarksOf(ClientKind::kOutlook);
  return outlook ? GetOutlookVersion(registry_, outlook->registration) : kOutlookVersionUnknown;
}

RunningClients SystemClientDetection::CheckRunning(Processes& processes, bool close_running, RunLog& log) {
  std::vector<std::string> programs;
  for (const ClientMarks& client : clients_) programs.push_back(client.program);
  return CloseRunningClients(processes, programs, close_running, log);
}

DefaultClientCode SystemClientDetection::DefaultClient() { return DetectDefaultClient(registry_, clients_); }

}  // namespace pw
