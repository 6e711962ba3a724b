#include "clients/registry/InternetAccountStore.h"

#include "clients/registry/RegistryUndo.h"
#include "clients/registry/SaveWithUndo.h"
#include "platform/Text.h"

namespace pw {

const InternetAccountKeys kOutlookExpressAccounts = {
    "Software\\Microsoft\\Internet Account Manager\\Accounts\\",
    "Software\\Microsoft\\Internet Account Manager\\",
};

const InternetAccountKeys kOutlookAccounts = {
    "Software\\Microsoft\\Office\\Outlook\\OMI Account Manager\\Accounts\\",
    "Software\\Microsoft\\Office\\Outlook\\OMI Account Manager\\",
};

Status InternetAccountStore::ListAccounts(std::vector<std::string>* accounts) {
  accounts->clear();
  RegKeyPtr root;
  if (Status status = registry_.OpenKey(RegRoot::kCurrentUser, keys_.account_root, RegAccess::kAllAccess, &root))
    return status;
  uint32_t count = 0;
  if (Status status = root->CountSubkeys(&count)) return status;
  static_cast<void>(ListSubkeys(*root, accounts));  // an account whose name cannot be read is none
  return err::kSuccess;
}

InternetAccountStore::Account InternetAccountStore::FindByAddress(const std::vector<std::string>& accounts,
                                                                  const std::string& address, bool list_each) {
  Account same_name;
  for (const std::string& name : accounts) {
    const std::string key_path = keys_.AccountKeyPath(name);
    std::string found;
    RegKeyPtr account;
    if (registry_.OpenKey(RegRoot::kCurrentUser, key_path, RegAccess::kAllAccess, &account) == err::kSuccess)
      found = ReadRegText(*account, kSmtpEmailAddress);
    if (list_each) log_.Line("\tFound address: '" + found + "' at: " + key_path);
    if (found == address) return Account{true, key_path, name};
    if (!same_name.exists && EqualsNoCase(name, address)) same_name = Account{true, key_path, name};
  }
  if (same_name.exists) return same_name;
  return Account{false, keys_.AccountKeyPath(address), address};
}

InternetAccountStore::Account InternetAccountStore::FindByName(const std::vector<std::string>& accounts,
                                                               const std::string& key_name) {
  for (const std::string& name : accounts)
    if (EqualsNoCase(name, key_name)) return Account{true, keys_.AccountKeyPath(key_name), name};
  return Account{false, keys_.AccountKeyPath(key_name), key_name};
}

StepResult InternetAccountStore::Save(const Account& account, const AccountValues& values,
                                           bool make_default) {
  const std::string& key_path = account.key_path;
  RegistryUndo undo(registry_);
  undo.RememberKey(RegRoot::kCurrentUser, key_path);
  Status remembered = undo.RememberValues(RegRoot::kCurrentUser, key_path, AccountValueNames(values));
  if (!remembered && make_default)
    remembered = undo.RememberValues(RegRoot::kCurrentUser, keys_.account_manager, {kDefaultMailAccount});
  return SaveWithUndo(
      undo, remembered,
      [&]() -> Status {
        if (Status status = WriteAccount(key_path, values)) return status;
        return make_default ? WriteDefaultMailAccount(registry_, keys_.account_manager, account.key_name)
                            : err::kSuccess;
      });
}

Status InternetAccountStore::WriteAccount(const std::string& key_path, const AccountValues& values) {
  RegKeyPtr key;
  if (Status status = registry_.CreateKey(RegRoot::kCurrentUser, key_path, RegAccess::kAllAccess, &key))
    return status;
  return WriteAccountValues(*key, values);
}

}  // namespace pw
