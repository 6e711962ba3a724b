// The five mail clients, one row each: what the program calls them, how
// each shows on a machine, its radio button, and how its account is written
// and looked up. Detection, the dialog, launch and the writer choice read this
// table; a new client is one row and its writer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/ClientKind.h"
#include "app/RunLog.h"
#include "clients/AccountLookup.h"
#include "clients/AccountWriter.h"
#include "detect/ClientDetection.h"
#include "platform/Platform.h"

namespace pw {

// What a writer or a lookup may touch.
struct WriterContext {
  Platform& platform;
  RunLog& log;
  int outlook_version;  // as detected; chooses between the Outlook writers
};

using WriterMaker = std::unique_ptr<AccountWriter> (*)(const AccountRequest& request,
                                                       const AutomaticPrefix& automatic_prefix,
                                                       const WriterContext& context);
using LookupMaker = std::unique_ptr<AccountLookup> (*)(const WriterContext& context);

struct MailClient {
  ClientMarks marks;      // its kind, registration, program and mail-link text
  const char* name;       // in the run log and the outcome messages
  const char* caption;    // of its radio button
  int radio_id;
  int probe_position;     // where the run log lists it among the installed clients
  WriterMaker make_writer;  // null: no writer for it
  LookupMaker make_lookup;  // null: automatic mode cannot find its account
};

// Every client, in ClientKind order (the radio group's tab order).
const std::vector<MailClient>& MailClients();
const MailClient& MailClientOf(ClientKind kind);
// The marks of every client, in precedence order for the default client.
std::vector<ClientMarks> MailClientMarks();
// HKLM key whose default value names the client's program.
std::string AppPathsKey(ClientKind kind);

}  // namespace pw
