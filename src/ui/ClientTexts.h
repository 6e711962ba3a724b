// The names, outcome texts and program registrations of the five clients,
// indexed by ClientKind.
#pragma once

#include <string>

#include "clients/AccountWriter.h"

namespace pw {

constexpr int kClientCount = 5;

bool IsClientKind(int kind);
// "Microsoft Outlook Express" and so on; empty for any other number.
std::string ClientName(ClientKind kind);
std::string SuccessText(ClientKind kind);
// The message for a failed configure; empty for a pair the program has no text for.
std::string ErrorText(ClientKind kind, ConfigureResult result);
// HKLM key whose default value names the client's program.
std::string AppPathsKey(ClientKind kind);

}  // namespace pw
