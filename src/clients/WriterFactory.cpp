#include "clients/WriterFactory.h"

#include "clients/MailClients.h"

namespace pw {

std::unique_ptr<AccountWriter> MailClientWriters::MakeWriter(ClientKind kind, int outlook_version,
                                                             const AccountRequest& request,
                                                             const AutomaticPrefix& automatic_prefix) {
  const MailClient& client = MailClientOf(kind);
  if (!client.make_writer) return nullptr;
  return client.make_writer(request, automatic_prefix, WriterContext{platform_, log_, outlook_version});
}

std::unique_ptr<AccountLookup> MailClientWriters::MakeLookup(ClientKind kind, int outlook_version) {
  const MailClient& client = MailClientOf(kind);
  if (!client.make_lookup) return nullptr;
  return client.make_lookup(WriterContext{platform_, log_, outlook_version});
}

}  // namespace pw
