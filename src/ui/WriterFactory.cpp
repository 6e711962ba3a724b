#include "ui/WriterFactory.h"

#include "clients/files/ThunderbirdAccountWriter.h"
#include "clients/registry/OutlookExpressAccountWriter.h"

namespace pw {

std::unique_ptr<AccountWriter> MakeWriter(ClientKind kind, int outlook_version, const AccountRequest& request,
                                          Platform& platform, RunLog& log) {
  (void)outlook_version;
  switch (kind) {
    case client::kOutlookExpress:
      return std::make_unique<OutlookExpressAccountWriter>(request, platform.registry, log);
    case client::kThunderbird:
      return std::make_unique<ThunderbirdAccountWriter>(request, platform.registry, platform.files,
                                                        platform.environment, platform.clock, log);
    default:
      return nullptr;
  }
}

}  // namespace pw
