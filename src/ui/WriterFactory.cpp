#include "ui/WriterFactory.h"

#include "clients/registry/OutlookExpressAccountWriter.h"

namespace pw {

std::unique_ptr<AccountWriter> MakeWriter(ClientKind kind, int outlook_version, const AccountRequest& request,
                                          Platform& platform, RunLog& log) {
  (void)outlook_version;
  switch (kind) {
    case client::kOutlookExpress:
      return std::make_unique<OutlookExpressAccountWriter>(request, platform.registry, log);
    default:
      return nullptr;
  }
}

}  // namespace pw
