// Where the configure command gets a client's writer and, in automatic mode,
// its account lookup. The program's factory reads the client table; tests give
// the dialog one of their own.
#pragma once

#include <memory>

#include "app/ClientKind.h"
#include "app/RunLog.h"
#include "clients/AccountLookup.h"
#include "clients/AccountRequest.h"
#include "clients/AccountWriter.h"
#include "clients/MailClients.h"
#include "platform/Platform.h"

namespace pw {

class WriterFactory {
 public:
  virtual ~WriterFactory() = default;
  // Null for a client without a writer. The context's Outlook version
  // chooses between the Outlook writers (below 10 the Internet-Mail-Only one).
  virtual std::unique_ptr<AccountWriter> MakeWriter(ClientKind kind, const WriterContext& context,
                                                    const AccountRequest& request,
                                                    const AutomaticPrefix& automatic_prefix) = 0;
  // Null for a client whose accounts automatic mode cannot look up.
  virtual std::unique_ptr<AccountLookup> MakeLookup(ClientKind kind, const WriterContext& context) = 0;
};

// The writers and lookups of the client catalogue.
class MailClientWriters : public WriterFactory {
 public:
  std::unique_ptr<AccountWriter> MakeWriter(ClientKind kind, const WriterContext& context,
                                            const AccountRequest& request,
                                            const AutomaticPrefix& automatic_prefix) override;
  std::unique_ptr<AccountLookup> MakeLookup(ClientKind kind, const WriterContext& context) override;
};

}  // namespace pw
