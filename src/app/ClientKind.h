// The five mail clients the program knows, and the two numberings they come
// in from outside: the "-c" number (also the index of the dialog's radio
// group) and the default-client code of the mail-link detection.
#pragma once

#include <optional>

namespace pw {

// In the order of the dialog's radio group.
enum class ClientKind { kOutlookExpress, kOutlook, kWindowsMail, kEudora, kThunderbird };

constexpr ClientKind kClientKinds[] = {ClientKind::kOutlookExpress, ClientKind::kOutlook, ClientKind::kWindowsMail,
                                      ClientKind::kEudora, ClientKind::kThunderbird};
constexpr int kClientCount = static_cast<int>(sizeof kClientKinds / sizeof kClientKinds[0]);

// 0 Outlook Express, 1 Outlook, 2 Windows Mail, 3 Eudora, 4 Thunderbird.
int ClientNumber(ClientKind kind);
// No client for a number outside 0 to 4.
std::optional<ClientKind> ClientKindFromNumber(int number);

// What the default-client detection answers: 0 none recognised, 1 Outlook
// Express, 2 Outlook, 3 Windows Mail, 4 Eudora, 5 Thunderbird.
using DefaultClientCode = int;
constexpr DefaultClientCode kNoDefaultClient = 0;
DefaultClientCode DefaultClientCodeOf(ClientKind kind);
// No client for 0 or any code outside 1 to 5.
std::optional<ClientKind> ClientKindFromDefaultCode(DefaultClientCode code);

}  // namespace pw
