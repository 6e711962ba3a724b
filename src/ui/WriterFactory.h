// The one place that knows which writer configures which client.
#pragma once

#include <functional>
#include <memory>

#include "app/RunLog.h"
#include "clients/AccountWriter.h"
#include "platform/Platform.h"

namespace pw {

// The writer of `kind` (Outlook chosen by its major version: below 10 the
// Internet-Mail-Only writer), or nullptr for a kind that has none.
std::unique_ptr<AccountWriter> MakeWriter(ClientKind kind, int outlook_version, const AccountRequest& request,
                                          Platform& platform, RunLog& log);

// The shape of MakeWriter, so a dialog can be given another factory.
using WriterFactory = std::function<std::unique_ptr<AccountWriter>(
    ClientKind kind, int outlook_version, const AccountRequest& request, Platform& platform, RunLog& log)>;

}  // namespace pw
