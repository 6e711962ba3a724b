#include "clients/files/FileAccountLookup.h"

namespace pw {

std::optional<std::string> FileAccountLookup::FindAcctByText(const std::string& text) {
  for (const std::string& account : Accounts()) {
    const std::optional<std::string> address = GetAcctAddr(account);
    if (address && address->find(text) != std::string::npos) return account;
  }
  return std::nullopt;
}

std::optional<std::string> FileAccountLookup::GetAcctAddr(const std::optional<std::string>& account_key) {
  std::optional<std::string> address = TextOf(account_key, Field::kAddress);
  if (address && address->empty()) return std::nullopt;
  return address;
}

std::optional<std::string> FileAccountLookup::GetAcctDisplayName(const std::optional<std::string>& account_key) {
  return TextOf(account_key, Field::kDisplayName);
}

std::optional<std::string> FileAccountLookup::GetAcctIncomingServer(const std::optional<std::string>& account_key) {
  return TextOf(account_key, Field::kIncomingServer);
}

std::optional<std::string> FileAccountLookup::TextOf(const std::optional<std::string>& account_key, Field field) {
  if (!account_key) return std::nullopt;
  return Text(*account_key, field);
}

}  // namespace pw
