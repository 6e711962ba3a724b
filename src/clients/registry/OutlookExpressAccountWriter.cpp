#include "clients/registry/OutlookExpressAccountWriter.h"

#include "clients/registry/RegistryUndo.h"
#include "platform/Text.h"

namespace pw {

const char OutlookExpressAccountWriter::kAccountRoot[] = "Software\\Microsoft\\Internet Account Manager\\Accounts\\";
const char OutlookExpressAccountWriter::kAccountManager[] = "Software\\Microsoft\\Internet Account Manager\\";

namespace {

std::string AccountKeyPath(const std::string& key_name) {
  return OutlookExpressAccountWriter::kAccountRoot + key_name + "\\";
}

std::string Decimal(Status status) { return std::to_string(status); }

}  // namespace

OutlookExpressAccountWriter::OutlookExpressAccountWriter(const AccountRequest& request,
                                                         const AutomaticPrefix& automatic_prefix, Registry& registry,
                                                         RunLog& log)
    : registry_(registry), log_(log), request_(request), automatic_prefix_(automatic_prefix) {}

ConfigureResult OutlookExpressAccountWriter::Configure() {
  log_.Line("Starting Outlook Express configuration...");
  log_.BlankLine();

  RegKeyPtr root;
  uint32_t count = 0;
  if (registry_.OpenKey(RegRoot::kCurrentUser, kAccountRoot, RegAccess::kAllAccess, &root) ||
      root->CountSubkeys(&count))
    return result::kUnableToConfigure;

  log_.Line("Searching for existing " + request_.address + " account ... ");
  const bool automatic = automatic_prefix_.has_value();
  const Target target = automatic ? FindIdentical(*root, count) : FindByAddress(*root, count);
  root.reset();

  if (target.exists) {
    if (!request_.overwrite) {
      log_.Line(automatic ? "...found. Quitting." : "...found. No changes will be made.");
      return automatic ? result::kIdenticalAutomatic : result::kAlreadyExists;
    }
    log_.Line("...found. Resetting settings to defaults.");
  } else {
    log_.Line("...not found. Creating new account.");
  }
  log_.BlankLine();

  const AccountValues values = InternetAccountValues(AccountName(), request_.address, request_.display_name);
  log_.Line("The following settings were written/overwritten in the system registry:");
  log_.BlankLine();
  LogAccountValues(values, log_);
  log_.BlankLine();
  log_.Line("Writing at RegKey: " + target.key_path);

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
      address = ReadRegText(*account, kSmtpEmailAddress);
    log_.Line("\tFound address: '" + address + "' at: " + key_path);
    if (address == request_.address) return Target{true, key_path};
    if (!same_name.exists && EqualsNoCase(name, request_.address)) same_name = Target{true, key_path};
  }
  if (same_name.exists) return same_name;
  return Target{false, AccountKeyPath(request_.address)};
}

// Automatic mode looks only at key names: prefix and address, compared as the
// registry compares them.
OutlookExpressAccountWriter::Target OutlookExpressAccountWriter::FindIdentical(RegKey& root, uint32_t count) {
  const std::string wanted = AccountName();
  for (uint32_t i = 0; i < count; ++i) {
    std::string name;
    if (root.EnumSubkey(i, &name) == err::kSuccess && EqualsNoCase(name, wanted)) return Target{true, AccountKeyPath(wanted)};
  }
  return Target{false, AccountKeyPath(wanted)};
}

ConfigureResult OutlookExpressAccountWriter::Save(const std::string& key_path, const AccountValues& values,
                                                  bool make_default) {
  RegistryUndo undo(registry_);
  undo.RememberKey(RegRoot::kCurrentUser, key_path);
  Status status = undo.RememberValues(RegRoot::kCurrentUser, key_path, AccountValueNames(values));
  if (!status && make_default)
    status = undo.RememberValues(RegRoot::kCurrentUser, kAccountManager, {kDefaultMailAccount});
  if (status) {
    log_.Line("Unable to read the current settings (error code: " + Decimal(status) + ").");
    return result::kSaveFailed;
  }

  status = WriteAccount(key_path, values);
  if (!status && make_default) status = WriteDefaultAccount();
  if (!status) return result::kConfigured;

  log_.Line("Unable to write the settings (error code: " + Decimal(status) + ").");
  const Status undone = undo.Undo();
  log_.Line(undone ? "Unable to restore the previous settings (error code: " + Decimal(undone) + ")."
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

}  // namespace pw
