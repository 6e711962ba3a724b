#include "clients/registry/InternetAccountLookup.h"

#include "clients/registry/InternetAccountValues.h"

namespace pw {

namespace {

// How the log shows a lookup that found nothing.
const char kNothingFound[] = "*ERROR*";

}  // namespace

std::optional<std::string> InternetAccountLookup::GetDefAcct() {
  RegKeyPtr key;
  const Status status = registry_.OpenKey(RegRoot::kCurrentUser, keys_.account_manager, RegAccess::kRead, &key);
  LogResult("GetDefAcct Test Result: " + std::to_string(status));
  if (status) return std::nullopt;
  const std::string name = ReadRegText(*key, kDefaultMailAccount);
  key.reset();
  LogResult("Result: " + (name.empty() ? kNothingFound : name));
  // No default set: an empty name would stand for the account root itself.
  if (name.empty()) return std::nullopt;
  return name;
}

// The first account, in registry order, whose address contains `text`
// (letter case counts).
std::optional<std::string> InternetAccountLookup::FindAcctByText(const std::string& text) {
  RegKeyPtr root;
  uint32_t count = 0;
  Status status = registry_.CreateKey(RegRoot::kCurrentUser, keys_.account_root, RegAccess::kAllAccess, &root);
  if (!status) status = root->CountSubkeys(&count);
  // The line names the address of the writer to come, which is not known yet,
  // and its outcome is never written: the next lookup's line continues it.
  log_ << "Searching for existant  account ... ";
  if (status) return std::nullopt;

  std::vector<std::string> accounts;
  static_cast<void>(ListSubkeys(*root, &accounts));  // an account whose name cannot be read is none
  for (const std::string& name : accounts) {
    RegKeyPtr account;
    if (registry_.OpenKey(RegRoot::kCurrentUser, keys_.AccountKeyPath(name), RegAccess::kAllAccess, &account))
      continue;
    if (ReadRegText(*account, kSmtpEmailAddress).find(text) != std::string::npos) return name;
  }
  return std::nullopt;
}

std::optional<std::string> InternetAccountLookup::GetAcctAddr(const std::optional<std::string>& account_key) {
  RegKeyPtr key;
  const Status status = OpenAccount(account_key, &key);
  LogResult("GetAcctAddr Test Result: " + std::to_string(status));
  if (status) return std::nullopt;
  // An address that is not a string reads as none: automatic mode refuses it.
  const std::string address = ReadRegString(*key, kSmtpEmailAddress);
  key.reset();
  LogResult("Result: " + address);
  return address;
}

std::optional<std::string> InternetAccountLookup::GetAcctDisplayName(const std::optional<std::string>& account_key) {
  RegKeyPtr key;
  if (OpenAccount(account_key, &key)) return std::nullopt;
  return ReadRegString(*key, kSmtpDisplayName);
}

Status InternetAccountLookup::OpenAccount(const std::optional<std::string>& account_key, RegKeyPtr* key) {
  if (!account_key) return err::kFileNotFound;
  return registry_.OpenKey(RegRoot::kCurrentUser, keys_.AccountKeyPath(*account_key), RegAccess::kRead, key);
}

void InternetAccountLookup::LogResult(const std::string& line) {
  if (logging_ == Logging::kResults) log_.Line(line);
}

}  // namespace pw
