#include "clients/ClientTexts.h"

#include "clients/MailClients.h"

namespace pw {

std::string ClientName(ClientKind kind) { return MailClientOf(kind).name; }

std::string SuccessText(ClientKind kind) {
  return "Congratulations! " + ClientName(kind) + " has been successfully configured for your mail settings.";
}

std::string ErrorText(ClientKind kind, ConfigureResult result) {
  if (result == result::kSaveFailed) return "ERROR: Unable to save the e-mail settings, no changes have been made.";
  for (const FailureText& failure : MailClientOf(kind).failures)
    if (failure.result == result) return failure.text;
  return "";
}

std::string UnknownClientText(int number) {
  std::string known;
  for (const MailClient& client : MailClients()) {
    const int n = ClientNumber(client.marks.kind);
    known += (n == 0 ? " " : n + 1 == kClientCount ? " or " : ", ") + std::to_string(n) + " (" + client.name + ")";
  }
  return "ERROR: There is no mail client number " + std::to_string(number) + "; the numbers are" + known + ".";
}

}  // namespace pw
