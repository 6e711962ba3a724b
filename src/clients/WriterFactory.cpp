#include "clients/WriterFactory.h"

namespace pw {

std::unique_ptr<AccountWriter> MailClientWriters::MakeWriter(ClientKind kind, const WriterContext& context,
                                                             const AccountRequest& request,
                                                             const AutomaticPrefix& automatic_prefix) {
  const MailClient& client = MailClientOf(kind);
  if (!client.make_writer) return nullptr;
  return client.make_writer(request, automatic_prefix, context);
}

std::unique_ptr<AccountLookup> MailClientWriters::MakeLookup(ClientKind kind, const WriterContext& context) {
  const MailClient& client = MailClientOf(kind);
  if (!client.make_lookup) return nullptr;
  return client.make_lookup(context);
}

}  // namespace pw
