// How each mail client shows on a machine: what detection looks for and the
// client catalogue names.
#pragma once

#include "app/ClientKind.h"

namespace pw {

// How a mail client shows on a machine.
struct ClientMarks {
  ClientKind kind;
  // Its registration: a key below HKLM "SOFTWARE\Clients\Mail".
  const char* registration;
  // Its program's file name, as App Paths registers it and the process list shows it.
  const char* program;
  // Text (lower case) in the mail-link command when it handles mail links.
  const char* mail_link_text;
};

}  // namespace pw
