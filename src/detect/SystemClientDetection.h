// Client detection on the machine the program runs on.
#pragma once

#include "detect/ClientDetection.h"
#include "platform/Platform.h"

namespace pw {

class SystemClientDetection : public ClientDetection {
 public:
  SystemClientDetection(Registry& registry, Processes& processes) : registry_(registry), processes_(processes) {}
  explicit SystemClientDetection(const Platform& platform)
      : SystemClientDetection(platform.registry, platform.processes) {}

  // False for a kind outside 0 to 4.
  bool IsInstalled(ClientKind kind) override;
  int OutlookVersion() override;
  RunningClients CheckRunning(bool close_running, RunLog& log) override;
  DefaultClientCode DefaultClient() override;

 private:
  Registry& registry_;
  Processes& processes_;
};

}  // namespace pw
