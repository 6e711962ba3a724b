// Client detection on the machine the program runs on, for the clients whose
// marks it is given.
#pragma once

#include <vector>

#include "detect/ClientDetection.h"
#include "platform/Processes.h"
#include "platform/Registry.h"

namespace pw {

class SystemClientDetection : public ClientDetection {
 public:
  // `clients` in order of precedence for the default-client detection.
  SystemClientDetection(Registry& registry, std::vector<ClientMarks> clients)
      : registry_(registry), clients_(std::move(clients)) {}

  // False for a kind it was given no marks for.
  bool IsInstalled(ClientKind kind) override;
  int OutlookVersion() override;
  RunningClients CheckRunning(Processes& processes, bool close_running, RunLog& log) override;
  DefaultClientCode DefaultClient() override;

 private:
  const ClientMarks* MarksOf(ClientKind kind) const;

  Registry& registry_;
  std::vector<ClientMarks> clients_;
};

}  // namespace pw
