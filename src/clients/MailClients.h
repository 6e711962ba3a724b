// The catalogue of mail clients, one row each: what the program calls them,
// how each shows on a machine, how its account is written and looked up, and
// what its failures say. Detection, the run, the window and the launch read
// this table; a new client is one row, its writer and its lookup (and its
// radio button in the window).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/ClientKind.h"
#include "app/RunLog.h"
#include "clients/AccountLookup.h"
#include "clients/AccountRequest.h"
#include "clients/AccountWriter.h"
#include "app/ClientMarks.h"
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
// Lists in the run log what a support person needs to see after `result`;
// false when the result calls for no listing.
using FailureListing = bool (*)(ConfigureResult result, const WriterContext& context);

// A failure's text in the window and in the log's "Description: " line.
struct FailureText {
  ConfigureResult result;
  const char* text;
};

struct MailClient {
  ClientMarks marks;       // its kind, registration, program and mail-link text
  const char* name;        // in the run log and the outcome messages
  const char* caption;     // of its radio button
  int probe_position;      // where the run log lists it among the installed clients
  bool has_version;        // the log names the version detected (Outlook's chooses its writer)
  bool has_default_account;  // the client has a default account that a run can set
  // Automatic mode rewrites the account it finds in place, under its own
  // name (the settings-file clients); the others add an account of their own
  // named prefix + address beside it.
  bool rewrites_in_place;
  WriterMaker make_writer;
  LookupMaker make_lookup;
  std::vector<FailureText> failures;
  FailureListing failure_listing;  // null: none
};

// Every client, in ClientKind order (the radio group's tab order).
const std::vector<MailClient>& MailClients();
const MailClient& MailClientOf(ClientKind kind);
// The marks of every client, in precedence order for the default client.
std::vector<ClientMarks> MailClientMarks();

}  // namespace pw
