// The outcome texts the window shows and the run log describes, from the
// client catalogue's rows.
#pragma once

#include <string>

#include "app/ClientKind.h"
#include "clients/ConfigureResult.h"

namespace pw {

// "Microsoft Outlook Express" and so on.
std::string ClientName(ClientKind kind);
std::string SuccessText(ClientKind kind);
// The message for a failed configure; empty for a pair the program has no text for.
std::string ErrorText(ClientKind kind, ConfigureResult result);
// The message for a client number that names no client.
std::string UnknownClientText(int number);

}  // namespace pw
