#include "clients/registry/OutlookExpressAccountWriter.h"

#include "clients/registry/RegistryUndo.h"
#include "platform/Text.h"

namespace pw {

const char OutlookExpressAccountWriter::kAccountRoot[] = "Software\\Microsoft\\Internet Account Manager\\Accounts\\";
const char OutlookExpressAccountWriter::kAccountManager[] = "Software\\Microsoft\\Internet Account Manager\\";

namespace {

const char kDefaultMailAccount[] = "Default Mail Account";
const char kEmailAddress[] = "SMTP Email Address";
const char kDisplayName[] = "SMTP Display Name";

std::string AccountKeyPath(const std::string& key_name) {
  return OutlookExpressAccountWriter::kAccountRoot + key_name + "\\";
}

std::string Decimal(Status status) { return std::to_string(status); }

}  // namespace

OutlookExpressAccountWriter::OutlookExpressAccountWriter(const AccountRequest& request, Registry& registry,
                                                         RunLog& log)
    : registry_(registry), log_(&log), request_(request) {}

void OutlookExpressAccountWriter::Reinitialise(const AccountRequest& request, RunLog& log) {
  request_ = request;
  log_ = &log;
}

ConfigureResult OutlookExpressAccountWriter::Configure() {
  log_->Line("Starting Outlook Express configuration...");
  log_->BlankLine();

  RegKeyPtr root;
  uint32_t count = 0;
  if (registry_.OpenKey(RegRoot::kCurrentUser, kAccountRoot, RegAccess::kAllAccess, &root) ||
      root->CountSubkeys(&count))
    return 1;

  log_->Line("Searching for existing " + request_.address + " account ... ");
  const Target target = automatic_ ? FindIdentical(*root, count) : FindByAddress(*root, count);
  root.reset();

  if (target.exists) {
    if (!request_.overwrite) {
      log_->Line(automatic_ ? "...found. Quitting." : "...found. No changes will be made.");
      return automatic_ ? result::kIdenticalAutomatic : result::kAlreadyExists;
    }
    log_->Line("...found. Resetting settings to defaults.");
  } else {
    log_->Line("...not found. Creating new account.");
  }
  log_->BlankLine();

  const AccountValues values = InternetAccountValues(AccountName(), request_.address, request_.display_name);
  log_->Line("The following settings were written/overwritten in the system registry:");
  log_->BlankLine();
  LogAccountValues(values, *log_);
  log_->BlankLine();
  log_->Line("Writing at RegKey: " + target.key_path);

  // The first account Outlook Express gets is its default, asked or not.
  return Save(target.key_path, values, request_.make_default || count == 0);
}

// Stops at the first account whose address is the requested one, letter case
// and all. Registry key names ignore case, so a key that already carries the
// name the new account would get counts as found too: creating "it" would
// only open it and overwrite that account.
OutlookExpressAccountWriter::Target OutlookExpressAccountWriter::FindByAddress(RegKey& root, uint32_t count) {
  Target same_name;
  for (uint32_t i = 0; i < count; ++i) {
    std::string name;
    if (root.EnumSubkey(i, &name) != err::kSuccess) continue;
    const std::string key_path = AccountKeyPath(name);
    std::string address;
    RegKeyPtr account;
    if (registry_.OpenKey(RegRoot::kCurrentUser, key_path, RegAccess::kAllAccess, &account) == err::kSuccess)
      address = ReadRegText(*account, kEmailAddress);
    log_->Line("\tFound address: '" + address + "' at: " + key_path);
    if (address == request_.address) return Target{true, key_path};
    if (!same_name.exists && EqualsNoCase(name, request_.address)) same_name = Target{true, key_path};
  }
  if (same_name.exists) return same_name;
  return Target{false, AccountKeyPath(request_.address)};
}

// Automatic mode looks only at key names: prefix and address, compared as the
// registry compares them.
OutlookExpressAccountWriter::Target OutlookExpressAccountWriter::FindIdentical(RegKey& root, uint32_t count) {
  const std::string wanted = prefix_ + request_.address;
  for (uint32_t i = 0; i < count && !identical_account_; ++i) {
    std::string name;
    if (root.EnumSubkey(i, &name) == err::kSuccess && EqualsNoCase(name, wanted)) identical_account_ = true;
  }
  return Target{identical_account_, AccountKeyPath(wanted)};
}

ConfigureResult OutlookExpressAccountWriter::Save(const std::string& key_path, const AccountValues& values,
                                                  bool make_default) {
  RegistryUndo undo(registry_);
  Status status = undo.RememberKey(RegRoot::kCurrentUser, key_path);
  if (!status) status = undo.RememberValues(RegRoot::kCurrentUser, key_path, AccountValueNames(values));
  if (!status && make_default)
    status = undo.RememberValues(RegRoot::kCurrentUser, kAccountManager, {kDefaultMailAccount});
  if (status) {
    log_->Line("Unable to read the current settings (error code: " + Decimal(status) + ").");
    return result::kSaveFailed;
  }

  status = WriteAccount(key_path, values);
  if (!status && make_default) status = WriteDefaultAccount();
  if (!status) return result::kConfigured;

  log_->Line("Unable to write the settings (error code: " + Decimal(status) + ").");
  const Status undone = undo.Undo();
  log_->Line(undone ? "Unable to restore the previous settings (error code: " + Decimal(undone) + ")."
                    : std::string("The previous settings were restored."));
  return result::kSaveFailed;
}

Status OutlookExpressAccountWriter::WriteAccount(const std::string& key_path, const AccountValues& values) {
  RegKeyPtr key;
  if (Status status = registry_.CreateKey(RegRoot::kCurrentUser, key_path, RegAccess::kAllAccess, &key))
    return status;
  return WriteAccountValues(*key, values);
}

// Always the bare address, whatever the account key is called.
Status OutlookExpressAccountWriter::WriteDefaultAccount() {
  RegKeyPtr key;
  if (Status status = registry_.CreateKey(RegRoot::kCurrentUser, kAccountManager, RegAccess::kAllAccess, &key))
    return status;
  const Status removed = key->DeleteValue(kDefaultMailAccount);
  if (removed != err::kSuccess && removed != err::kFileNotFound) return removed;
  return key->SetValue(kDefaultMailAccount, regtype::kSz, request_.address);
}

std::string OutlookExpressAccountWriter::GetDefAcct() {
  RegKeyPtr key;
  const Status status = registry_.OpenKey(RegRoot::kCurrentUser, kAccountManager, RegAccess::kRead, &key);
  log_->Line("GetDefAcct Test Result: " + Decimal(status));
  if (status) return kLookupError;
  std::string name = ReadRegText(*key, kDefaultMailAccount);
  key.reset();
  // No default set: an empty name would stand for the account root itself.
  if (name.empty()) name = kLookupError;
  log_->Line("Result: " + name);
  return name;
}

// The first account, in registry order, whose address contains `text`
// (letter case counts).
std::string OutlookExpressAccountWriter::FindAcctByText(const std::string& text) {
  RegKeyPtr root;
  uint32_t count = 0;
  Status status = registry_.CreateKey(RegRoot::kCurrentUser, kAccountRoot, RegAccess::kAllAccess, &root);
  if (!status) status = root->CountSubkeys(&count);
  // The outcome is never written after it: the next lookup's line continues it.
  *log_ << "Searching for existant " << request_.address << " account ... ";
  if (status) return kLookupError;

  for (uint32_t i = 0; i < count; ++i) {
    std::string name;
    if (root->EnumSubkey(i, &name) != err::kSuccess) continue;
    RegKeyPtr account;
    if (registry_.OpenKey(RegRoot::kCurrentUser, AccountKeyPath(name), RegAccess::kAllAccess, &account)) continue;
    if (ReadRegText(*account, kEmailAddress).find(text) != std::string::npos) return name;
  }
  return kLookupError;
}

std::string OutlookExpressAccountWriter::GetAcctAddr(const std::string& account_key) {
  RegKeyPtr key;
  const Status status = registry_.OpenKey(RegRoot::kCurrentUser, AccountKeyPath(account_key), RegAccess::kRead, &key);
  log_->Line("GetAcctAddr Test Result: " + Decimal(status));
  if (status) return kLookupError;
  const std::string address = ReadRegText(*key, kEmailAddress);
  key.reset();
  log_->Line("Result: " + address);
  return address;
}

std::string OutlookExpressAccountWriter::GetAcctDisplayName(const std::string& account_key) {
  RegKeyPtr key;
  if (registry_.OpenKey(RegRoot::kCurrentUser, AccountKeyPath(account_key), RegAccess::kRead, &key))
    return kLookupError;
  return ReadRegText(*key, kDisplayName);
}

}  // namespace pw
