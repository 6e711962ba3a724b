#include "ui/WriterFactory.h"

namespace pw {

std::unique_ptr<AccountWriter> MakeWriter(ClientKind kind, int outlook_version, const AccountRequest& request,
                                          Platform& platform, RunLog& log) {
  (void)outlook_version;
  (void)request;
  (void)platform;
  (void)log;
  switch (kind) {
    default:
      return nullptr;
  }
}

}  // namespace pw
