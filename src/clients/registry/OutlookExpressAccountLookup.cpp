#include "clients/registry/OutlookExpressAccountLookup.h"

#include "clients/registry/InternetAccountValues.h"
#include "clients/registry/OutlookExpressAccountWriter.h"

namespace pw {

namespace {

// How the log shows a lookup that found nothing.
const char kNothingFound[] = "*ERROR*";

std::string AccountKeyPath(const std::string& key_name) {
  return OutlookExpressAccountWriter::kAccountRoot + key_name + "\\";
}

}  // namespace

std::optional<std::string> OutlookExpressAccountLookup::GetDefAcct() {
  RegKeyPtr key;
  const Status status =
      registry_.OpenKey(RegRoot::kCurrentUser, OutlookExpressAccountWriter::kAccountManager, RegAccess::kRead, &key);
  log_ << "GetDefAcct Test Result: " << status;
  log_.EndLine();
  if (status) return std::nullopt;
  const std::string name = ReadRegText(*key, kDefaultMailAccount);
  key.reset();
  log_.Line("Result: " + (name.empty() ? kNothingFound : name));
  // No default set: an empty name would stand for the account root itself.
  if (name.empty()) return std::nullopt;
  return name;
}

// The first account, in registry order, whose address contains `text`
// (letter case counts).
std::optional<std::string> OutlookExpressAccountLookup::FindAcctByText(const std::string& text) {
  RegKeyPtr root;
  uint32_t count = 0;
  Status status =
      registry_.CreateKey(RegRoot::kCurrentUser, OutlookExpressAccountWriter::kAccountRoot, RegAccess::kAllAccess, &root);
  if (!status) status = root->CountSubkeys(&count);
  // The line names the address of the writer to come, which is not known yet,
  // and its outcome is never written: the next lookup's line continues it.
  log_ << "Searching for existant  account ... ";
  if (status) return std::nullopt;

  for (uint32_t i = 0; i < count; ++i) {
    std::string name;
    if (root->EnumSubkey(i, &name) != err::kSuccess) continue;
    RegKeyPtr account;
    if (registry_.OpenKey(RegRoot::kCurrentUser, AccountKeyPath(name), RegAccess::kAllAccess, &account)) continue;
    if (ReadRegText(*account, kSmtpEmailAddress).find(text) != std::string::npos) return name;
  }
  return std::nullopt;
}

std::optional<std::string> OutlookExpressAccountLookup::GetAcctAddr(const std::optional<std::string>& account_key) {
  RegKeyPtr key;
  const Status status = OpenAccount(account_key, &key);
  log_ << "GetAcctAddr Test Result: " << status;
  log_.EndLine();
  if (status) return std::nullopt;
  // An address that is not a string reads as none: automatic mode refuses it.
  const std::string address = ReadRegString(*key, kSmtpEmailAddress);
  key.reset();
  log_.Line("Result: " + address);
  return address;
}

std::optional<std::string> OutlookExpressAccountLookup::GetAcctDisplayName(
    const std::optional<std::string>& account_key) {
  RegKeyPtr key;
  if (OpenAccount(account_key, &key)) return std::nullopt;
  return ReadRegString(*key, kSmtpDisplayName);
}

Status OutlookExpressAccountLookup::OpenAccount(const std::optional<std::string>& account_key, RegKeyPtr* key) {
  if (!account_key) return err::kFileNotFound;
  return registry_.OpenKey(RegRoot::kCurrentUser, AccountKeyPath(*account_key), RegAccess::kRead, key);
}

}  // namespace pw
