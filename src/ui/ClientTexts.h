// The outcome texts the message area shows and the run log describes.
#pragma once

#include <string>

#include "app/ClientKind.h"
#include "clients/AccountWriter.h"

namespace pw {

// "Microsoft Outlook Express" and so on.
std::string ClientName(ClientKind kind);
std::string SuccessText(ClientKind kind);
// The message for a failed configure; empty for a pair the program has no text for.
std::string ErrorText(ClientKind kind, ConfigureResult result);
// The message for a client number that names no client.
std::string UnknownClientText(int number);

}  // namespace pw
